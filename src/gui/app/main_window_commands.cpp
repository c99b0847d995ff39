// The main window's commands that move the origin, search, and act on a target of the radar or
// the list. What a command does to the state is the core's (core/app/commands.h); here the
// results are shown.
#include <QAction>
#include <QMenu>

#include "core/app/favorite_names.h"
#include "core/app/load_report.h"
#include "core/app/options_files.h"
#include "core/resources/resource_ids.h"
#include "gui/app/main_window.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/shell_open.h"
#include "gui/platform/wait_cursor.h"
#include "gui/resources/menu_builder.h"

namespace zentorak {

using namespace res;

int MainWindow::Show(const Notice& notice) {
    return ShowNotice(this, notice);
}

bool MainWindow::NeedsOrigin() {
    if (state_.originValid == 1) {
        return true;
    }
    Show(NoOriginNotice());
    return false;
}

int MainWindow::SelectedRowOrComplain() {
    int row = panes_->SelectedRow();
    if (row < 0 || row >= state_.found.count) {
        Show(NoItemSelectedNotice());
        return -1;
    }
    return row;
}

int MainWindow::MarkerAt(PixelPoint p) const {
    return HitTest(state_.markerPos, state_.found.count, p, state_.dpi);
}

void MainWindow::SetOriginAtPoint(PixelPoint p) {
    PointToPosition(state_.View(), p, state_.originLat, state_.originLon);
}

void MainWindow::SetOriginToTarget(int k) {
    const TargetRecord* t = state_.found.targets[static_cast<size_t>(k)];
    state_.originLat = t->lat;
    state_.originLon = t->lon;
}

FavoriteRecord MainWindow::TargetAsFavorite(const TargetRecord* t) const {
    FavoriteRecord record{t->lat, t->lon, {}};
    // The name column's text is offered as the name (nameColumn is a column slot, 2.. for items).
    if (state_.nameColumn >= 2) {
        record.name = std::u16string(t->Info(state_.nameColumn - 2));
    }
    return record;
}

void MainWindow::AddFavoriteWithDialog(FavoriteRecord record) {
    // No menu id is left for another favourite: say so before the user names one.
    if (FavoriteMenuFull(state_.favorites)) {
        Show(FavoriteMenuFullNotice());
        return;
    }
    if (dialogs_->FavoriteName(kAddFavoriteTitle, record) != 1) {
        return;
    }
    if (AddFavorite(state_.favorites, record) != 0) {
        Show(FavoriteAddFailedNotice());
        return;
    }
    AppendFavoriteItem(FavoriteCommandOf(state_.favorites.count() - 1), ToQString(record.name));
    SaveSettingsNow();
}

bool MainWindow::RenameFavorite(int index) {
    if (index < 0 || index >= state_.favorites.count()) {
        return false;
    }
    FavoriteRecord candidate = state_.favorites[index];
    if (dialogs_->FavoriteName(kRenameFavoriteTitle, candidate) != 1 ||
        zentorak::RenameFavorite(state_.favorites, index, candidate.name) != 0) {
        return false;
    }
    if (QAction* item = FindCommand(favoritesMenu_, kFavoriteCommandBase + 1 + index)) {
        item->setText(ToQString(candidate.name));
    }
    SaveSettingsNow();
    return true;
}

// The later favourites move up one place, and so do their command ids.
bool MainWindow::DeleteFavorite(int index) {
    if (RemoveFavorite(state_.favorites, index) != 0) {
        return false;
    }
    RebuildFavoriteItems();
    SaveSettingsNow();
    return true;
}

bool MainWindow::SaveSettingsNow() {
    std::optional<Notice> failure = zentorak::SaveSettingsNow(state_);
    if (failure) {
        Show(*failure);
    }
    return !failure;
}

void MainWindow::ShowDetails(int k) {
    state_.selectedTarget = k;
    dialogs_->Details(k);
}

void MainWindow::ShowTargetOnMap(const DmsAngle& lat, const DmsAngle& lon) {
    const Settings before = state_.settings;
    const int result = zentorak::ShowTargetOnMap(
        state_.settings, lat, lon, *dialogs_, *updates_,
        [](const std::string& url) { return ShellOpen(QString::fromStdString(url)); });
    // The confirmation's service, scale and check box are kept at once, like every change.
    if (state_.settings != before) {
        SaveSettingsNow();
    }
    if (result == kAppMapOpenFailed) {
        Show(MapOpenFailedNotice());
    }
}

void MainWindow::OpenLocationInfoFiles(const QStringList& paths) {
    if (inputGate_) {
        inputGate_();  // the loading at start-up finishes first
    }
    std::vector<std::u16string> files;
    for (const QString& path : paths) {
        files.push_back(ToU16(path));
    }
    bool added = false;
    for (const Notice& refusal : AddFilesFromOutside(files, state_.locationInfoFiles, added)) {
        Show(refusal);
    }
    if (added) {
        SaveSettingsNow();  // a failure is said; the files are still loaded for this run
        ReloadAfterOptions();
    }
}

void MainWindow::ReloadAfterOptions() {
    WaitCursor wait;
    panes_->ForgetRows();
    std::optional<Notice> failure = ReloadTargets(state_);
    wait.Restore();
    if (failure) {
        Show(*failure);
        return;
    }
    SearchForPerson();
    updates_->AfterOptions();
    if (std::optional<Notice> check =
            LoadCheckNotice(state_.locationInfoFiles, state_.loadReports, u"読込みエラー")) {
        Show(*check);
    }
}

void MainWindow::ShowListAfterSearch() {
    panes_->Fill(content_->width());
    panes_->SelectCurrentIfNone();
    state_.paneMode = kPaneList;
    panes_->ShowPane();
}

void MainWindow::SearchAroundOrigin() {
    zentorak::SearchAroundOrigin(state_);
    panes_->Fill(content_->width());
    panes_->ShowPane();
    Repaint();
}

void MainWindow::SearchForPerson() {
    SearchAroundOrigin();
    panes_->SelectCurrentIfNone();
}

void MainWindow::ChooseFavorite(int index) {
    const FavoriteRecord& favorite = state_.favorites[index];
    state_.originLat = favorite.lat;
    state_.originLon = favorite.lon;
    state_.originValid = 1;
    SearchForPerson();
}

void MainWindow::EnterCoordinates() {
    DmsAngle lat, lon;
    PointToPosition(state_.View(), ViewCentrePoint(), lat, lon);
    const int searchAfterJump = state_.settings.SrchAfterJump;
    if (dialogs_->CoordinateEntry(lat, lon, state_.settings) == 1) {
        state_.originLat = lat;
        state_.originLon = lon;
        state_.originValid = 1;
    }
    if (state_.settings.SrchAfterJump != searchAfterJump) {
        SaveSettingsNow();
    }
    // Whatever the dialog ended with.
    if (state_.settings.SrchAfterJump == 1) {
        SearchForPerson();
    } else {
        Repaint();
    }
}

void MainWindow::ToggleOriginMode() {
    if (state_.settings.OrgFixedMode == 1) {
        state_.settings.OrgFixedMode = 2;
        RefreshOriginModeTexts();
        SetOriginAtPoint(ViewCentrePoint());
        SearchForPerson();
    } else {
        state_.settings.OrgFixedMode = 1;
        RefreshOriginModeTexts();
        SetOriginAtPoint(ViewCentrePoint());
        state_.originX = ViewCentrePoint().x;
        state_.originY = ViewCentrePoint().y;
        Repaint();
    }
}

bool MainWindow::ConfirmFixedMode() {
    if (!TextSearchNeedsFixedMode(state_)) {
        return true;
    }
    if (Show(FixedModeQuestion()) != kAnswerYes) {
        return false;
    }
    state_.settings.OrgFixedMode = 1;
    RefreshOriginModeTexts();
    return true;
}

void MainWindow::ConditionalSearch() {
    SearchTexts texts;
    if (!ConfirmFixedMode() || dialogs_->Search(texts) == 0) {
        return;
    }
    WaitCursor wait;
    Notice result = RunTextSearch(state_, texts, ViewCentrePoint());
    wait.Restore();
    panes_->Fill(content_->width());
    panes_->SelectCurrentIfNone();
    panes_->ShowPane();
    Repaint();
    Show(result);
}

void MainWindow::RadarCommand(int id) {
    if (!NeedsOrigin()) {
        return;
    }
    int k = MarkerAt(state_.pressPoint);
    if (k < 0 && (id == ID_RADAR_DETAILS || id == ID_RADAR_CALL)) {
        Show(NoItemSelectedNotice());
        return;
    }
    if (id == ID_RADAR_DETAILS) {
        ShowDetails(k);
    } else if (id == ID_RADAR_CALL) {
        dialogs_->PhoneCall(k);
    } else if (id == ID_RADAR_SET_ORIGIN) {
        k >= 0 ? SetOriginToTarget(k) : SetOriginAtPoint(state_.pressPoint);
        SearchForPerson();
    } else {
        FavoriteRecord record;
        if (k >= 0) {
            record = TargetAsFavorite(state_.found.targets[static_cast<size_t>(k)]);
        } else {
            PointToPosition(state_.View(), state_.pressPoint, record.lat, record.lon);
        }
        if (id == ID_RADAR_ADD_FAVORITE) {
            AddFavoriteWithDialog(record);
        } else if (id == ID_RADAR_MAP) {
            ShowTargetOnMap(record.lat, record.lon);
        }
    }
}

void MainWindow::ListCommand(int id) {
    int k = SelectedRowOrComplain();
    if (k < 0) {
        return;
    }
    const TargetRecord* t = state_.found.targets[static_cast<size_t>(k)];
    switch (id) {
        case ID_LIST_DETAILS:
            ShowDetails(k);
            break;
        case ID_LIST_MOVE:
            if (BringTargetIntoView(state_, k, ViewCentrePoint())) {
                SearchForPerson();
            } else {
                Repaint();
            }
            break;
        case ID_LIST_SET_ORIGIN:
            SetOriginToTarget(k);
            SearchForPerson();
            break;
        case ID_LIST_ADD_FAVORITE:
            AddFavoriteWithDialog(TargetAsFavorite(t));
            break;
        case ID_LIST_MAP:
            ShowTargetOnMap(t->lat, t->lon);
            break;
        case ID_LIST_CALL:
            dialogs_->PhoneCall(k);
            break;
        default:
            break;
    }
}

}  // namespace zentorak
