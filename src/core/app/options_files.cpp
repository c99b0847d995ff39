#include "core/app/options_files.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/locinfo/file_columns.h"
#include "core/locinfo/place_list.h"
#include "core/settings/settings_lines.h"
#include "core/text/code_page.h"
#include "core/text/file_names.h"

namespace zentorak {
namespace {

constexpr size_t kDeleteQuestionPathLength = 40;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// The first 40 units of a long path, one fewer when the 40th would split a surrogate pair (which
// would show as a broken character).
std::u16string_view QuestionPath(std::u16string_view path) {
    if (path.size() <= kDeleteQuestionPathLength) {
        return path;
    }
    size_t n = kDeleteQuestionPathLength;
    if (IsHighSurrogate(path[n - 1])) {
        --n;
    }
    return path.substr(0, n);
}

// The entry past the first whose text is the keyword, else the first.
int EntryWithText(const std::vector<std::u16string>& captions, std::u16string_view text) {
    auto it = std::find(captions.begin() + (captions.empty() ? 0 : 1), captions.end(), text);
    if (it != captions.end()) {
        return static_cast<int>(it - captions.begin());
    }
    return captions.empty() ? -1 : 0;
}

// The lists' entries: "no column", then the captions of the item slots in use.
std::vector<std::u16string> ItemEntries(const ColumnMap& columns) {
    std::vector<std::u16string> entries{std::u16string(kNoColumnEntry)};
    for (int slot = 2; slot < kColumnSlots; ++slot) {
        if (columns.Present(slot)) {
            entries.push_back(columns.columnCaption[static_cast<size_t>(slot)]);
        }
    }
    return entries;
}

void SelectKeywords(SpecialItemsView& view, const Settings& settings) {
    view.favNameEntry = EntryWithText(view.captions, settings.KwdFavName);
    view.telEntry = EntryWithText(view.captions, settings.KwdTelNo);
}

std::u16string ChosenKeyword(int entry, const std::u16string& text) {
    if (entry <= 0) {
        return {};
    }
    return text.substr(0, kKeywordMaxLength);
}

}  // namespace

FileListPage::FileListPage(const LocationInfoFileList& files) {
    for (const std::u16string& file : files) {
        if (file.empty()) {
            break;
        }
        entries_.push_back(file);
    }
}

FileListPage::AddResult FileListPage::Add(std::u16string path) {
    if (HasLineBreak(path)) {
        return AddResult::kUnusableName;
    }
    if (std::find(entries_.begin(), entries_.end(), path) != entries_.end()) {
        return AddResult::kDuplicate;
    }
    if (!CanAdd()) {
        return AddResult::kFull;
    }
    entries_.push_back(std::move(path));
    return AddResult::kAdded;
}

bool FileListPage::Remove(int index) {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
        return false;
    }
    entries_.erase(entries_.begin() + index);
    return true;
}

Notice DuplicateFileNotice() {
    return {u"すでに同名のファイルが登録されています", u"ファイル名不正", NoticeIcon::kError};
}

std::u16string AddFileStartFolder(std::u16string_view lastChosen,
                                  const std::vector<std::u16string>& listed,
                                  std::u16string_view home) {
    std::vector<std::u16string> candidates;
    for (std::u16string_view file :
         {lastChosen,
          listed.empty() ? std::u16string_view() : std::u16string_view(listed.back())}) {
        const size_t slash = file.rfind(u'/');
        if (slash != std::u16string_view::npos) {
            candidates.emplace_back(file.substr(0, slash == 0 ? 1 : slash));
        }
    }
    candidates.emplace_back(home);
    for (const std::u16string& folder : candidates) {
        struct stat info {};
        if (!folder.empty() && folder.front() == u'/' &&
            ::stat(FileNameFromUtf16(folder).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            return folder;
        }
    }
    return u"/";
}

Notice UnusableFileNameNotice() {
    return {u"改行を含む名前のファイルは使用できません。", u"ファイル名不正", NoticeIcon::kError};
}

Notice FileListFullNotice() {
    return {u"入力元ファイルは10個までしか登録できません。", u"ファイル名不正", NoticeIcon::kError};
}

Notice DeleteFileQuestion(std::u16string_view path) {
    std::u16string text = u"'";
    std::u16string_view shown = QuestionPath(path);
    text += shown;
    if (shown.size() < path.size()) {
        text += u"...";
    }
    text += u"'を一覧から削除してもよろしいですか？";
    return {text, u"位置情報ファイルの削除の確認", NoticeIcon::kQuestion, true};
}

Notice CaptionsUnreadableNotice() {
    return {u"位置情報ファイルを読込めませんでした。", u"位置情報ファイル読込みエラー",
            NoticeIcon::kError};
}

void TakeOverFileList(const std::vector<std::u16string>& entries, LocationInfoFileList& files) {
    const size_t n = std::min(entries.size(), files.size());
    for (size_t i = 0; i < n; ++i) {
        files[i] = entries[i];
    }
    // The list ends at the first empty entry; the ones after it are cleared too, so that no
    // earlier path can come back.
    for (size_t i = n; i < files.size(); ++i) {
        files[i].clear();
    }
}

std::vector<Notice> AddFilesFromOutside(const std::vector<std::u16string>& paths,
                                        LocationInfoFileList& files, bool& added) {
    FileListPage page(files);
    std::vector<Notice> refusals;
    added = false;
    for (const std::u16string& path : paths) {
        switch (page.Add(path)) {
            case FileListPage::AddResult::kAdded:
                added = true;
                break;
            case FileListPage::AddResult::kDuplicate:
                refusals.push_back(DuplicateFileNotice());
                break;
            case FileListPage::AddResult::kFull:
                refusals.push_back(FileListFullNotice());
                break;
            case FileListPage::AddResult::kUnusableName:
                refusals.push_back(UnusableFileNameNotice());
                break;
        }
    }
    if (added) {
        TakeOverFileList(page.Entries(), files);
    }
    return refusals;
}

SpecialItemsView SpecialItemsFromColumns(const ColumnMap& columns, const Settings& settings) {
    SpecialItemsView view;
    view.latCaption = columns.Present(0) ? columns.columnCaption[0] : std::u16string();
    view.lonCaption = columns.Present(1) ? columns.columnCaption[1] : std::u16string();
    view.captions = ItemEntries(columns);
    SelectKeywords(view, settings);
    return view;
}

std::optional<SpecialItemsView> SpecialItemsFromFirstFile(
    const std::vector<std::u16string>* filesPage, const LocationInfoFileList& stored,
    const Settings& settings) {
    std::u16string first =
        filesPage != nullptr ? (filesPage->empty() ? u"" : filesPage->front()) : stored[0];
    if (first.empty()) {
        return std::nullopt;
    }
    // The columns as a load of the file reads them.
    std::vector<std::u16string> header;
    FileColumns chosen;
    const CoordinateKeywords keywords{settings.KwdLat, settings.KwdLon, settings.KwdFavName,
                                      settings.KwdTelNo};
    if (ReadFileColumns(FileNameFromUtf16(first), keywords, header, chosen) != 0) {
        return std::nullopt;
    }
    ColumnMap columns;
    FileColumnMap(header, chosen, columns);
    SpecialItemsView view;
    if (header.size() > 1) {
        view.latCaption = header[static_cast<size_t>(chosen.lat)];
        view.lonCaption = header[static_cast<size_t>(chosen.lon)];
    }
    view.captions = ItemEntries(columns);
    SelectKeywords(view, settings);
    return view;
}

void TakeOverSpecialItems(const SpecialItemsValues& page, Settings& settings) {
    if (page.favNamePicked) {
        settings.KwdFavName = ChosenKeyword(page.favNameEntry, page.favNameText);
    }
    if (page.telPicked) {
        settings.KwdTelNo = ChosenKeyword(page.telEntry, page.telText);
    }
}

}  // namespace zentorak
