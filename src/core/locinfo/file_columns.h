// Which columns of a location-info file give what: the start of the file (its encoding, its
// header and first lines), the columns read as latitude and longitude, and the merge of the item
// captions of all the files loaded together into the ten slots of the column map. Every reader
// of place files places its items with CaptionMerge, so that an item is never shown under another
// column's caption.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/locinfo/file_encoding.h"
#include "core/targets/target_grid.h"

namespace zentorak {

// The captions that name a latitude and a longitude column besides the fixed ones (緯度 and
// 経度, 北緯 and 東経, and lat, latitude, lng, lon, longitude in any letter case): the settings'
// KwdLat and KwdLon, compared exactly. An empty keyword names nothing. Blanks around a caption
// do not count. The name and telephone keywords (KwdFavName and KwdTelNo) caption a place list's
// names and telephone numbers.
struct CoordinateKeywords {
    std::u16string lat = u"緯度";
    std::u16string lon = u"経度";
    std::u16string name = u"店名";
    std::u16string tel = u"TEL";
};

// A caption without the blanks around it (spaces, tabs, ideographic spaces).
std::u16string_view TrimCaption(std::u16string_view caption);
bool IsLatitudeCaption(std::u16string_view caption, const CoordinateKeywords& keywords);
bool IsLongitudeCaption(std::u16string_view caption, const CoordinateKeywords& keywords);

// The start of a file: its header's fields (decoded in the encoding its first bytes give, the
// byte-order mark dropped), and those first bytes.
struct FileStart {
    std::vector<std::u16string> header;
    HeadEncoding encoding;
    std::string head;  // the first kEncodingWindow bytes at most
    size_t firstLine =
        0;  // where the line after the header starts in head (head.size(): not in it)
};

// 0; kLoadCannotOpen (also not a regular file); kLoadReadFailed; kLoadNoMemory.
int ReadFileStart(const std::string& path, FileStart& start);

// How one file's lines are read: the columns of its coordinates and of its items, in file order.
struct FileColumns {
    int lat = 0, lon = 1;
    bool byCaption = false;  // the coordinates are the columns their captions name
    std::vector<int> items;  // the other columns, in file order
};

// The data decides: when the first two fields of one of the first lines (those in the bytes
// after the header) give a point inside the service area, D/M/S or decimal, the first two
// columns are latitude and longitude whatever the header says, as the handsets read every file.
// Only when none does, and the columns the header names latitude and longitude give a point in
// one of those lines, are those the coordinates. Every other column is an item.
FileColumns ChooseFileColumns(const std::vector<std::u16string>& header, std::string_view lines,
                              const CoordinateKeywords& keywords);

// The captions of the files of one load merged by name, in load order, into the slots of a
// column map. The first file's coordinate captions name slots 0 and 1. An item whose caption
// (less its blanks) a slot has already goes to that slot; a new caption goes to the slot of its
// place among the file's items when that is free, else to the first free slot; when none is
// free, it has no slot and is said. So files with the same header get the slots and captions one
// of them alone would. An item column past the eighth, or with an empty caption, gets a slot
// only by name.
class CaptionMerge {
public:
    explicit CaptionMerge(ColumnMap& columns) : columns_(columns) {}

    // The slot (2 to 9) of each item of a file, given the items' captions in file order; -1 for
    // an item without one. The captions of items that found no free slot go to unplaced. A slot
    // new in the map records the item's file column (fileColumns[i], or i + 2 without them).
    std::vector<int> PlaceItems(const std::vector<std::u16string>& captions,
                                std::vector<std::u16string>* unplaced = nullptr,
                                const std::vector<int>* fileColumns = nullptr);
    // The coordinate captions and columns, taken from the first file (an empty caption keeps
    // the one before it).
    void PlaceCoordinates(std::u16string_view lat, std::u16string_view lon, int latColumn = 0,
                          int lonColumn = 1);

private:
    void Start();

    ColumnMap& columns_;
    bool started_ = false;
    bool coordinatesPlaced_ = false;
};

// The column map one file alone gives, as it is loaded (for showing its captions).
void FileColumnMap(const std::vector<std::u16string>& header, const FileColumns& columns,
                   ColumnMap& map);

}  // namespace zentorak
