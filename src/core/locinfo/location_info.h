// Location-info files: a header line of captions, then one target per line (latitude, longitude,
// up to eight info items), comma-separated with '"' quoting, in CP932 or UTF-8. Coordinates are
// D/M/S on the Tokyo datum or decimal degrees on WGS 84, in the first two columns or in the
// columns whose captions name them. Loads targets into the grid of 0.1-degree cells that owns
// them, and keeps the column captions. Does not store or search: see core/targets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/locinfo/location_info_files.h"
#include "core/targets/target_grid.h"
#include "core/text/code_page.h"

namespace zentorak {

// The captions that name a latitude and a longitude column besides the fixed ones (緯度 and
// 経度, 北緯 and 東経, and lat, latitude, lng, lon, longitude in any letter case): the settings'
// KwdLat and KwdLon, compared exactly. An empty keyword names nothing. The name and telephone
// keywords (KwdFavName and KwdTelNo) caption a place list's names and telephone numbers.
struct CoordinateKeywords {
    std::u16string lat = u"緯度";
    std::u16string lon = u"経度";
    std::u16string name = u"店名";
    std::u16string tel = u"TEL";
};

// What loading a file gives besides 0. Targets read before a failure stay loaded.
// kLoadCannotOpen: missing, not a regular file (a FIFO, a device), an unreadable header, or none
// of its columns is named a latitude or a longitude.
inline constexpr int kLoadCannotOpen = -1;
inline constexpr int kLoadReadFailed = -9;  // also a line too long for memory
inline constexpr int kLoadNoMemory = -100;  // a target or the header could not be kept
// SplitCsvLine's failure.
inline constexpr int kLoadSplitNoMemory = -101;

// What the reader met in one file.
struct LocationInfoFileReport {
    int result = kLoadCannotOpen;  // LoadLocationInfoFile's result
    bool headerRead = false;       // false: the fields below say nothing
    TextEncoding encoding = TextEncoding::kCp932;
    size_t dmsLines = 0;      // lines with both coordinates in the D/M/S form
    size_t decimalLines = 0;  // lines with both in decimal degrees (inside the area or not)
    size_t mixedLines = 0;    // lines with one coordinate in each form, skipped
    // A place list (GPX, KML, KMZ, GeoJSON): the points read (inside the area or not), and the
    // routes, tracks, lines and polygons left out.
    size_t placePoints = 0;
    size_t skippedShapes = 0;
};

// Splits one line; quote may be empty (then the line is cut at every separator). 0, or
// kLoadSplitNoMemory.
int SplitCsvLine(std::u16string_view line, std::u16string_view separator, std::u16string_view quote,
                 std::vector<std::u16string>& fields);

// The header line's fields, decoded in the file's encoding (the byte-order mark dropped): 0;
// kLoadCannotOpen (also not a regular file: a FIFO, a device); kLoadReadFailed; kLoadNoMemory
// (the split failed). The encoding chosen for the file goes to encoding when given.
int ReadCsvHeader(const std::string& path, std::vector<std::u16string>& fields,
                  TextEncoding* encoding = nullptr);

// 0 when read to the end; kLoadCannotOpen, kLoadReadFailed or kLoadNoMemory (targets read before
// a failure stay loaded). A last line without a line break gives its target like every other
// line.
// The file is UTF-8 or CP932 as DetectTextEncoding decides from its first 64 KiB. When the first
// two captions are not a latitude and a longitude caption (CoordinateKeywords) but the header
// has both elsewhere, those columns give the coordinates and the other columns, in order, give
// slots 2 to 9; otherwise columns 0 and 1 do, as in the handsets' files. A line whose
// coordinates are decimal degrees is read as WGS 84 and held on the Tokyo datum.
int LoadLocationInfoFile(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                         const CoordinateKeywords& keywords = {});

// Loads the listed files in order up to the first empty entry; each file's header rewrites the
// column map. Returns 0. What each file gave goes to reports when given.
int LoadAllLocationInfoFiles(TargetGrid& grid, ColumnMap& columns,
                             const LocationInfoFileList& files,
                             const CoordinateKeywords& keywords = {},
                             std::vector<LocationInfoFileReport>* reports = nullptr);

}  // namespace zentorak
