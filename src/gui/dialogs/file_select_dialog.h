// The program's own full-screen file dialog: browse folders, pick a file through the type box
// or type a name, and make, rename or delete folders and files on the spot. FileSelectDialog is
// what a caller configures and runs; FileSelectWindow is the window itself. Every rule behind
// the list and the messages is FileBrowser's (core/files); this unit only shows and dispatches.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_browser.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace zentorak {

class SoftKeyBar;
class TapAndHold;

inline constexpr int FSD_MUST_EXIST = 2;
static_assert(FSD_MUST_EXIST == kFileMustExist);

// What the window is opened with.
struct FileSelectSetup {
    std::u16string filter;
    std::u16string initialFolder;
    std::u16string initialName;
    std::u16string title;
    int mode = 0;
    std::string root;  // the real folder shown as "/"; empty for the real root
};

class FileSelectWindow : public QDialog, private FileDialogHost {
    Q_OBJECT
public:
    FileSelectWindow(QWidget* owner, const FileSelectSetup& setup);
    ~FileSelectWindow() override;

    // The chosen path after Done; unset after cancel or close.
    const std::optional<std::u16string>& ResultPath() const { return resultPath_; }

    // The dialog's commands by control or command id: 1 Done, 1451 and 40005 cancel, 1454 and
    // 40004 up, 32799 new folder, 32800 rename and 32797 delete (on the selected row).
    void Command(int id);

    const FileBrowser& Browser() const { return browser_; }
    QListWidget* List() const { return list_; }
    QLineEdit* NameBox() const { return name_; }
    QLineEdit* FolderBox() const { return folder_; }
    QComboBox* TypeBox() const { return type_; }
    SoftKeyBar* SoftKeys() const { return softKeys_; }
    int SelectedRow() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    int Message(const Notice& message) override;
    std::optional<std::u16string> AskValue(std::u16string_view caption,
                                           std::u16string_view initial) override;
    void Layout();
    void Refill();
    void OpenSelected();
    void DoubleClicked(QPoint listPoint);
    void ReplayPress();
    void ShowRowMenu(QPoint listPoint);
    void Cancel(int id);

    FileBrowser browser_;
    int mode_;
    std::optional<std::u16string> resultPath_;
    QLabel* title_;
    QPushButton* done_;
    QPushButton* cancel_;
    QLineEdit* folder_;
    QPushButton* up_;
    QListWidget* list_;
    QLabel* nameLabel_;
    QLineEdit* name_;
    QLabel* typeLabel_;
    QComboBox* type_;
    SoftKeyBar* softKeys_;
    QMenu* softKeyMenu_;
    TapAndHold* hold_;
    // A left press on the list waits until it is known not to be a tap-and-hold, so that
    // holding a folder row shows the menu instead of opening the folder.
    std::optional<QPoint> pendingPress_;
    bool replaying_ = false;
    // Set when a tap-and-hold opened the row menu: the selection change that the press makes
    // must not open the row.
    bool contextMenuShown_ = false;
};

class FileSelectDialog {
public:
    FileSelectDialog();
    virtual ~FileSelectDialog();
    int SetFilter(std::u16string_view filter);         // 0, or -1
    int SetInitialFolder(std::u16string_view folder);  // "/" is the root
    int SetInitialFileName(std::u16string_view name);
    int SetMode(int mode);  // 2 = FSD_MUST_EXIST
    int SetTitle(std::u16string_view title);
    // The real folder shown as the root "/" (tests browse a temporary tree); "" is "/" itself.
    int SetFileSystemRoot(std::string_view folder);
    int Run(QWidget* parent, int param);  // the dialog's end code: 1 OK, 0 cancel
    // The chosen full path, taken over; nullopt after cancel.
    std::optional<std::u16string> GetResultPath();

private:
    FileSelectSetup setup_;
    std::optional<std::u16string> resultPath_;
};

}  // namespace zentorak
