// The options sheet "オプション": a full-screen dialog with the five pages 全般, 位置情報,
// 特別項目, 地図情報 and デバイス as tabs, each built when first shown. OK (the Done button) or
// キャンセル closes it; after OK the pages that were opened hand their values to the settings (the
// rules are the core's, core/app/options_pages.h). Does not reload or save anything: the main
// window does that after the sheet has closed.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/app/app_state.h"
#include "core/app/options_pages.h"
#include "gui/platform/full_screen_dialog.h"

class QPushButton;
class QTabWidget;
class QWidget;

namespace zentorak {

class GeneralPage;
class FilesPage;
class SpecialItemsPage;
class MapPage;
class DevicePage;

// "追加" asks for a file through this; nullopt when the person cancelled.
using FileChooser = std::function<std::optional<std::u16string>(QWidget* page)>;

// The real one: the file selection dialog titled "入力元" on the CSV filter, starting at "/".
std::optional<std::u16string> ChooseLocationInfoFile(QWidget* page);

class OptionsSheet : public FullScreenDialog {
    Q_OBJECT
public:
    // `portFolder` is where the ports/COMn links are looked for (the executable's folder).
    OptionsSheet(QWidget* owner, AppState& state, std::filesystem::path portFolder,
                 FileChooser chooser = ChooseLocationInfoFile);

    // Shows page `page` (above 4: the last), building it if it is new.
    void ShowPage(int page);
    bool PageCreated(int page) const;
    bool OptionsApplied() const { return optionsApplied_; }
    QTabWidget* Tabs() const { return tabs_; }
    QPushButton* CancelButton() const { return cancel_; }
    // The files page's list while it exists in this showing of the sheet, else null.
    const std::vector<std::u16string>* FilesPageEntries() const;
    // What the opened pages hold now.
    OptionsPageValues PageValues() const;
    // キャンセル, Escape and closing the window.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void OnDone() override;

private:
    void BuildPage(int page);
    void PlaceCancelButton();

    AppState& state_;
    std::filesystem::path portFolder_;
    FileChooser chooser_;
    QTabWidget* tabs_;
    QPushButton* cancel_;
    std::array<QWidget*, kOptionsPageCount> slots_{};
    GeneralPage* general_ = nullptr;
    FilesPage* files_ = nullptr;
    SpecialItemsPage* specialItems_ = nullptr;
    MapPage* map_ = nullptr;
    DevicePage* device_ = nullptr;
    bool optionsApplied_ = false;
};

// Shows the sheet modally over `owner`, starting on `startPage`, and on OK takes the opened
// pages' values over into `state`. Returns 1 once the sheet was shown; `optionsApplied` tells
// whether it closed with OK.
int ShowOptionsSheet(QWidget* owner, int startPage, AppState& state,
                     const std::filesystem::path& portFolder, bool& optionsApplied);

}  // namespace zentorak
