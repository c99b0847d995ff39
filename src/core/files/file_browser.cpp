#include "core/files/file_browser.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/text/code_page.h"
#include "core/text/file_names.h"
#include "core/text/text_utils.h"

namespace zentorak {
namespace {

constexpr std::u16string_view kNoNameText = u"名前が入力されていません。名前を指定してください。";
constexpr std::u16string_view kNoNameCaption = u"名称未入力";

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Folder rows include links to folders (they open like folders); a broken link is a file row.
bool IsFolderEntry(const dirent& entry, const std::string& fullPath) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat st;
    return ::stat(fullPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A rename must never replace what is already there (POSIX rename would, silently). Where the
// file system cannot refuse atomically, the target is looked for first.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    return !Exists(to) && std::rename(from.c_str(), to.c_str()) == 0;
}

// A name for a new folder or a rename names one entry of the folder shown: no '/', and not the
// folder itself or its parent.
bool IsEntryName(std::string_view name) {
    return name.find('/') == std::string_view::npos && name != "." && name != "..";
}

// The path with "." and empty parts dropped and ".." taking the part before it away (never above
// the root); always absolute, without a trailing '/'.
std::string NormalPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normal;
    for (std::string_view part : parts) {
        normal += '/';
        normal += part;
    }
    return normal.empty() ? std::string("/") : normal;
}

// Folders first, then files, each by name in the user's locale's order (the byte order breaks
// ties, so names the locale deems equal keep one order).
bool RowBefore(const FileRow& a, const FileRow& b) {
    const int order = std::strcoll(a.name.c_str(), b.name.c_str());
    return order != 0 ? order < 0 : a.name < b.name;
}

constexpr std::u16string_view kBadNameText =
    u"その名前は使用できません。「/」を含まない名前を指定してください。";
constexpr std::u16string_view kBadNameCaption = u"名称エラー";

}  // namespace

FileBrowser::FileBrowser(FileDialogHost& host, std::string root)
    : host_(host), root_(std::move(root)) {
    while (!root_.empty() && root_.back() == '/') {
        root_.pop_back();
    }
}

int FileBrowser::Say(std::u16string_view text, std::u16string_view title, NoticeIcon icon) {
    return host_.Message({std::u16string(text), std::u16string(title), icon});
}

void FileBrowser::Start(std::u16string_view filter, std::u16string_view initialFolder) {
    if (ParseFileFilter(filter, filter_) != 0) {
        Say(u"内部エラー(ファイルフィルタの定義不正)", u"内部エラー");
    }
    currentPattern_ = 0;
    List(initialFolder.empty() ? std::string("/") : FileNameFromUtf16(initialFolder));
}

std::u16string FileBrowser::FolderText() const {
    return FileNameForDisplay(folder_);
}

std::string FileBrowser::Join(std::string_view name) const {
    std::string path = folder_;
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

bool FileBrowser::List(const std::string& folder) {
    std::string real = Real(folder);
    DIR* dir = ::opendir(real.c_str());
    std::vector<FileRow> folders;
    std::vector<FileRow> files;
    int error = dir == nullptr ? errno : 0;
    if (dir != nullptr) {
        if (real.back() != '/') {
            real.push_back('/');
        }
        std::u16string_view pattern = filter_.patterns.empty()
                                          ? std::u16string_view(u"*.*")
                                          : std::u16string_view(filter_.patterns[currentPattern_]);
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            std::u16string shown = FileNameForDisplay(name);
            if (IsFolderEntry(*entry, real + name)) {
                folders.push_back({true, std::move(name), u"+" + shown});
            } else if (MatchesPattern(shown, pattern)) {
                files.push_back({false, std::move(name), u" " + shown});
            }
            errno = 0;
        }
        error = errno;
        ::closedir(dir);
    }
    if (error != 0) {
        // Another folder is not entered; the one shown is emptied, since its rows are stale.
        if (!listed_ || folder == folder_) {
            folder_ = folder;
            rows_.clear();
            folderCount_ = 0;
            listed_ = true;
        }
        Say(error == EACCES || error == EPERM ? u"このフォルダを開く権限がありません。"
                                              : u"フォルダの内容を読み取れませんでした。",
            u"フォルダ読込みエラー");
        return false;
    }
    std::sort(folders.begin(), folders.end(), RowBefore);
    std::sort(files.begin(), files.end(), RowBefore);
    folder_ = folder;
    listed_ = true;
    folderCount_ = static_cast<int>(folders.size());
    rows_ = std::move(folders);
    rows_.insert(rows_.end(), std::make_move_iterator(files.begin()),
                 std::make_move_iterator(files.end()));
    return true;
}

void FileBrowser::Up() {
    if (folder_ == "/") {
        return;
    }
    std::string folder = folder_;
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    size_t slash = folder.rfind('/');
    if (slash == std::string::npos) {
        return;
    }
    List(slash == 0 ? std::string("/") : folder.substr(0, slash));
}

std::optional<std::u16string> FileBrowser::Open(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return std::nullopt;
    }
    if (row < folderCount_) {
        List(Join(rows_[row].name));
        return std::nullopt;
    }
    pickedText_ = rows_[row].text.substr(1);
    pickedName_ = rows_[row].name;
    return pickedText_;
}

void FileBrowser::ChangePattern(int index) {
    if (index < 0 || index >= static_cast<int>(filter_.patterns.size())) {
        return;
    }
    currentPattern_ = index;
    Relist();
}

void FileBrowser::NewFolder() {
    std::optional<std::u16string> name = host_.AskValue(u"新規フォルダ名", u"");
    if (!name) {
        return;
    }
    if (name->empty()) {
        Say(kNoNameText, kNoNameCaption);
        return;
    }
    const std::string bytes = FileNameFromUtf16(*name);
    if (!IsEntryName(bytes)) {
        Say(kBadNameText, kBadNameCaption);
        return;
    }
    std::string path = Real(Join(bytes));
    if (Exists(path)) {
        Say(u"指定した名前のファイルまたはフォルダは既に存在します。別の名前を指定してください。",
            u"名称エラー");
        return;
    }
    if (::mkdir(path.c_str(), 0777) != 0) {
        Say(u"フォルダの作成に失敗しました。", u"フォルダ作成エラー");
    }
    Relist();
}

void FileBrowser::Rename(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return;
    }
    const FileRow old = rows_[row];
    std::u16string shown = old.text.substr(1);
    std::optional<std::u16string> answer = host_.AskValue(u"変更後の名称", shown);
    if (!answer) {
        return;
    }
    if (answer->empty()) {
        Say(kNoNameText, kNoNameCaption);
        return;
    }
    // The name left as shown keeps its own bytes, even where they are not UTF-8.
    std::string name = *answer == shown ? old.name : FileNameFromUtf16(*answer);
    if (!IsEntryName(name)) {
        Say(kBadNameText, kBadNameCaption);
        return;
    }
    if (name != old.name && !RenameNoReplace(Real(Join(old.name)), Real(Join(name)))) {
        Say(u"指定されたファイルまたはフォルダの名前の変更に失敗しました。", u"名称変更エラー");
    }
    Relist();
}

void FileBrowser::Delete(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        Say(u"削除対象が選択されていません。", u"削除対象なし");
        return;
    }
    std::string path = Join(rows_[row].name);
    std::u16string question = u"\"" + FileNameForDisplay(path) + u"\"を削除してもよろしいですか？";
    if (host_.Message({question, u"削除確認", NoticeIcon::kQuestion, true}) != kAnswerYes) {
        return;
    }
    std::string real = Real(path);
    struct stat st;
    if (::lstat(real.c_str(), &st) != 0) {
        Say(u"指定されたファイルまたはフォルダが存在しません。", u"削除エラー");
    } else if (S_ISDIR(st.st_mode)) {
        // Only an empty folder goes: nothing is deleted that the user did not see.
        if (::rmdir(real.c_str()) != 0) {
            Say(u"指定されたフォルダの削除に失敗しました。", u"フォルダ削除エラー");
        }
    } else if (::unlink(real.c_str()) != 0) {
        Say(u"指定されたファイルの削除に失敗しました。", u"ファイル削除エラー");
    }
    Relist();
}

std::string FileBrowser::NameBytes(std::u16string_view text) const {
    if (!pickedName_.empty() && text == pickedText_) {
        return pickedName_;
    }
    return FileNameFromUtf16(text);
}

std::optional<std::u16string> FileBrowser::Confirm(std::u16string_view name, int mode) {
    if (name.empty()) {
        Say(u"ファイル名が指定されていません。", u"ファイル名未指定", NoticeIcon::kExclamation);
        return std::nullopt;
    }
    std::string bytes = NameBytes(name);
    // A name without a dot takes the first pattern's extension, whichever type is selected;
    // a wildcard extension ("*.*") adds nothing.
    std::u16string extension;
    if (bytes.find('.') == std::string::npos && !filter_.patterns.empty() &&
        GetFileExtension(filter_.patterns[0], extension) == 0 && !extension.empty() &&
        extension.find(u'*') == std::u16string::npos) {
        bytes += "." + FileNameFromUtf16(extension);
    }
    // A typed name may reach into a subfolder, or be a full path, but always ends up inside the
    // folder shown: "../" or another folder's path is not a file here.
    const std::string typed = bytes.front() == '/' ? bytes : Join(bytes);
    const std::string inside = NormalPath(typed);
    const std::string folder = NormalPath(folder_);
    if (inside.size() <= folder.size() || inside.compare(0, folder.size(), folder) != 0 ||
        (folder != "/" && inside[folder.size()] != '/')) {
        Say(u"指定されたファイルは存在しません。", u"ファイル名不正", NoticeIcon::kExclamation);
        return std::nullopt;
    }
    std::string path = Real(inside);
    if (mode == kFileMustExist) {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) {
            Say(u"指定されたファイルは存在しません。", u"ファイル名不正", NoticeIcon::kExclamation);
            return std::nullopt;
        }
        if (S_ISDIR(st.st_mode)) {
            Say(u"同名のフォルダが存在します。", u"ファイル名不正", NoticeIcon::kExclamation);
            return std::nullopt;
        }
    }
    return FileNameToUtf16(path);
}

}  // namespace zentorak
