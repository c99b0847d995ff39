// The rules of the options sheet's location-info files page and special-items page: the list of
// at most ten files with its duplicate check and delete question, and the column captions the
// special items are chosen from (from the loaded files, or read afresh from the first file).
// Holds no controls and opens no dialog; the Qt pages show what these return.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/commands.h"
#include "core/locinfo/location_info.h"
#include "core/settings/settings_store.h"

namespace zentorak {

// The file selection dialog "追加" opens.
inline constexpr std::u16string_view kAddFileFilter =
    u"CSVファイル (*.csv)|*.csv|テキストファイル (*.txt)|*.txt|"
    u"地点リスト (*.gpx;*.kml;*.kmz;*.geojson)|*.gpx;*.kml;*.kmz;*.geojson|"
    u"すべてのファイル (*.*)|*.*";
inline constexpr std::u16string_view kAddFileTitle = u"入力元";

// The folder "追加" opens the file dialog at: that of the file chosen last (in this showing or an
// earlier one), else that of the list's last entry, else the home folder; the first of them that
// is a folder now, and "/" when none is.
std::u16string AddFileStartFolder(std::u16string_view lastChosen,
                                  const std::vector<std::u16string>& listed,
                                  std::u16string_view home);

// The files page's list while the sheet is open.
class FileListPage {
public:
    enum class AddResult { kAdded, kDuplicate, kFull, kUnusableName };

    // The stored list up to its first empty entry.
    explicit FileListPage(const LocationInfoFileList& files);

    const std::vector<std::u16string>& Entries() const { return entries_; }
    // "追加" is enabled while fewer than ten files are listed.
    bool CanAdd() const { return entries_.size() < static_cast<size_t>(kMaxLocationInfoFiles); }
    // Appends `path` unless it holds a line break (the settings file keeps one path a line), the
    // list already holds it, compared exactly (case and all), or is full. The file itself is not
    // opened.
    AddResult Add(std::u16string path);
    // Removes entry `index`; false when there is none.
    bool Remove(int index);

private:
    std::vector<std::u16string> entries_;
};

Notice DuplicateFileNotice();
Notice UnusableFileNameNotice();
// "追加" is not offered once ten files are listed; a file given from outside the sheet is
// refused with this.
Notice FileListFullNotice();
// "'path'を一覧から削除してもよろしいですか？", No by default; a path longer than 40 characters
// shows its first 40 followed by "...".
Notice DeleteFileQuestion(std::u16string_view path);
Notice CaptionsUnreadableNotice();

// The files page's list taken over after OK: the entries in order, the rest of the list emptied.
void TakeOverFileList(const std::vector<std::u16string>& entries, LocationInfoFileList& files);

// The first entry of the special-items lists: no column.
inline constexpr std::u16string_view kNoColumnEntry = u"（なし）";

// Files given from outside the sheet (the command line, a file manager, a later start): each is
// added as "追加" adds it, in order. The notices for those refused; `added` tells whether the
// stored list changed.
std::vector<Notice> AddFilesFromOutside(const std::vector<std::u16string>& paths,
                                        LocationInfoFileList& files, bool& added);

// What the special-items page shows. The first entry of both lists stands for "no column":
// choosing it stores an empty keyword, whatever its text. The other entries are the item
// captions; the coordinate captions are only shown in their edits.
struct SpecialItemsView {
    std::optional<std::u16string> latCaption;  // edit 1064; nullopt leaves the edit as it is
    std::optional<std::u16string> lonCaption;  // edit 1065
    std::vector<std::u16string> captions;      // the entries of 1066 and 1067
    int favNameEntry = -1;                     // 1066's selection (-1: the list is empty)
    int telEntry = -1;                         // 1067's selection
};

// From the captions of the files as last loaded (the item slots in use, in slot order).
SpecialItemsView SpecialItemsFromColumns(const ColumnMap& columns, const Settings& settings);

// "項目名更新": the captions of the first file's header, its columns chosen as its load chooses
// them (the coordinate captions are those of the columns read as coordinates). The first file is
// the files page's first entry when that page was opened in this showing of the sheet
// (`filesPage`), else the first stored file. nullopt when there is no first file or its header
// cannot be read (the caller then shows CaptionsUnreadableNotice() and keeps the page as it is).
std::optional<SpecialItemsView> SpecialItemsFromFirstFile(
    const std::vector<std::u16string>* filesPage, const LocationInfoFileList& stored,
    const Settings& settings);

// The selections of 1066 and 1067 with their texts.
struct SpecialItemsValues {
    int favNameEntry = -1;
    std::u16string favNameText;
    int telEntry = -1;
    std::u16string telText;
    // Whether the person picked another entry than the one shown for the stored keyword since
    // the list was last filled: a list not picked leaves its keyword as it is (also one that no
    // loaded caption matches).
    bool favNamePicked = true;
    bool telPicked = true;
    bool operator==(const SpecialItemsValues&) const = default;
};

// KwdFavName and KwdTelNo after OK, each only when another entry was picked in its list: the chosen
// caption (at most 99 characters) for an entry past the first, else empty. KwdLat and KwdLon are
// not changed.
void TakeOverSpecialItems(const SpecialItemsValues& page, Settings& settings);

}  // namespace zentorak
