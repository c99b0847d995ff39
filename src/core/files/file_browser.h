// What the file selection dialog does on the disk, without a window: the folder listing ("+"
// folder rows, then " " file rows matching the pattern), up, open, the filter, new folder,
// rename, delete, and the rules a typed name must pass before it is the dialog's result.
// Messages and the name prompt go through FileDialogHost; focus, menus and drawing are the
// window's. Paths use '/', and "/" is the root folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/file_filter.h"
#include "core/text/notice.h"

namespace zentorak {

// The chosen file must exist and must not be a folder; other modes check nothing.
inline constexpr int kFileMustExist = 2;

class FileDialogHost {
public:
    virtual ~FileDialogHost() = default;
    // A message box owned by the dialog; returns the answer (kAnswerOk, kAnswerYes, ...).
    virtual int Message(const Notice& message) = 0;
    // The value input dialog: the text entered (possibly empty), or nullopt after cancel or close.
    virtual std::optional<std::u16string> AskValue(std::u16string_view caption,
                                                   std::u16string_view initial) = 0;
};

// One list row. Names are kept as the bytes the file system gave, so a name that is not valid
// UTF-8 can still be opened, chosen, renamed and deleted; `text` shows it with replacement
// characters.
struct FileRow {
    bool folder = false;
    std::string name;
    std::u16string text;  // "+" or " ", then the name as shown
};

class FileBrowser {
public:
    // root: the real folder shown as "/"; empty for the real root (tests browse a temporary tree).
    explicit FileBrowser(FileDialogHost& host, std::string root = {});

    // Parses the filter (a fault is shown and the pairs before it are used; without any pattern
    // every file is listed) and lists the initial folder ("/" when empty).
    void Start(std::u16string_view filter, std::u16string_view initialFolder);

    const std::vector<std::u16string>& Descriptions() const { return filter_.descriptions; }
    const std::vector<FileRow>& Rows() const { return rows_; }
    int FolderCount() const { return folderCount_; }
    int FileCount() const { return static_cast<int>(rows_.size()) - folderCount_; }
    int CurrentPattern() const { return currentPattern_; }
    // The path box: the current folder as shown.
    std::u16string FolderText() const;

    // Up one folder; nothing in the root.
    void Up();
    // A row chosen in the list: a folder is opened (nullopt); a file gives its name for the name
    // box, remembered with its bytes so that Confirm can choose it even when it is not UTF-8.
    std::optional<std::u16string> Open(int row);
    // The type box changed to entry `index`.
    void ChangePattern(int index);
    // The file commands; row -1 when none is selected.
    void NewFolder();
    void Rename(int row);
    void Delete(int row);
    // Done with the name box text: the full path (file names' stray bytes kept as
    // FileNameToUtf16 keeps them), or nullopt when a message was shown and the dialog stays.
    std::optional<std::u16string> Confirm(std::u16string_view name, int mode);

private:
    std::string Join(std::string_view name) const;
    std::string Real(const std::string& path) const { return root_ + path; }
    std::string NameBytes(std::u16string_view text) const;
    // Lists `folder`; false (with its message) when it cannot be read. A folder that cannot be
    // read is not entered, unless it is the one already shown: then the list is emptied.
    bool List(const std::string& folder);
    void Relist() { List(folder_); }
    int Say(std::u16string_view text, std::u16string_view title,
            NoticeIcon icon = NoticeIcon::kError);

    FileDialogHost& host_;
    std::string root_;
    FileFilter filter_;
    int currentPattern_ = 0;
    std::string folder_;
    bool listed_ = false;
    std::vector<FileRow> rows_;
    int folderCount_ = 0;
    // The file row last put into the name box: its shown name and its bytes.
    std::u16string pickedText_;
    std::string pickedName_;
};

}  // namespace zentorak
