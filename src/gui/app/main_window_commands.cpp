// The main window's commands that move the origin, search, and act on a target of the radar or
// the list.
#include <QAction>
#include <QMenu>
#include <algorithm>
#include <new>

#include "gui/app/main_window.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/dialogs/search_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/platform/wait_cursor.h"
#include "gui/resources/menu_builder.h"
#include "core/resources/resource_ids.h"

namespace zentorak {

using namespace res;

bool MainWindow::NeedsOrigin() {
    if (state_.originValid == 1) {
        return true;
    }
    ShowMessage(nullptr, QStringLiteral("位置が設定されていません。"), QStringLiteral("位置設定"),
                MessageIcon::Error);
    return false;
}

void MainWindow::NoItemSelected() {
    ShowMessage(this, QStringLiteral("項目が選択されていません。"), QStringLiteral("未選択"),
                MessageIcon::Error);
}

int MainWindow::SelectedRowOrComplain() {
    int row = panes_->SelectedRow();
    if (row < 0 || row >= state_.found.count) {
        NoItemSelected();
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
        ShowMessage(nullptr, QStringLiteral("お気に入りの数が上限に達しました。"),
                    QStringLiteral("エラー"), MessageIcon::Error);
        return;
    }
    if (!hooks_.favoriteName || hooks_.favoriteName(record) != 1) {
        return;
    }
    if (AddFavorite(state_.favorites, record) != 0) {
        ShowMessage(nullptr, QStringLiteral("FavInfoAddにてエラー発生。"), QStringLiteral("エラー"),
                    MessageIcon::Error);
        return;
    }
    AppendFavoriteItem(FavoriteCommandOf(state_.favorites.count() - 1),
                       QString::fromStdU16String(record.name));
}

void MainWindow::ReloadAfterOptions() {
    WaitCursor wait;
    state_.found.count = 0;
    state_.found.targets.clear();
    state_.markerPos.clear();
    ClearTargetGrid(state_.grid);
    if (AllocateFoundArrays(state_) != 0) {
        wait.Restore();
        ShowMessage(this, QStringLiteral("メモリの初期化に失敗しました。"),
                    QStringLiteral("メモリ初期化エラー"), MessageIcon::Error);
        return;
    }
    if (LoadAllLocationInfoFiles(state_.grid, state_.columns, state_.locationInfoFiles) != 0) {
        wait.Restore();
        ShowMessage(this, QStringLiteral("位置情報の読込みに失敗しました。"),
                    QStringLiteral("読込みエラー"), MessageIcon::Error);
        return;
    }
    LookUpColumns(state_);
    wait.Restore();
    SearchAroundOrigin();
    updates_->AfterOptions();
}

void MainWindow::ShowListAfterSearch() {
    panes_->Fill(content_->width());
    state_.paneMode = kPaneList;
    panes_->ShowPane();
}

void MainWindow::SearchAroundOrigin() {
    SearchNearest(state_.grid, state_.originLat, state_.originLon, state_.settings.TrgtSrchNum,
                  state_.found);
    panes_->Fill(content_->width());
    state_.originX = RadarWidth() / 2;
    state_.originY = RadarAreaHeight(state_.dpi) / 2;
    state_.paneMode = kPaneList;
    panes_->ShowPane();
    Repaint();
}

void MainWindow::ChooseFavorite(int index) {
    const FavoriteRecord& favorite = state_.favorites[index];
    state_.originLat = favorite.lat;
    state_.originLon = favorite.lon;
    state_.originValid = 1;
    SearchAroundOrigin();
}

void MainWindow::ToggleOriginMode() {
    if (state_.settings.OrgFixedMode == 1) {
        state_.settings.OrgFixedMode = 2;
        RefreshOriginModeTexts();
        SetOriginAtPoint(ViewCentrePoint());
        SearchAroundOrigin();
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
    if (state_.settings.OrgFixedMode == 1) {
        return true;
    }
    int answer = ShowMessage(
        this,
        QStringLiteral(
            "基点モードが浮動になっています。検索するため固定に変更してもよろしいですか？"),
        QStringLiteral("基点モード変更確認"), MessageIcon::Question, MessageButtons::YesNo);
    if (answer != kAnswerYes) {
        return false;
    }
    state_.settings.OrgFixedMode = 1;
    RefreshOriginModeTexts();
    return true;
}

void MainWindow::ConditionalSearch() {
    SearchTexts texts;
    if (!ConfirmFixedMode() ||
        (hooks_.search ? hooks_.search(texts) : RunSearchDialog(this, state_.columns, texts)) ==
            0) {
        return;
    }
    WaitCursor wait;
    state_.found.count = 0;
    SearchByConditions(state_.grid, state_.columns, texts, state_.found);
    if (state_.found.count == 0) {
        state_.originValid = 0;
        wait.Restore();
        panes_->Fill(content_->width());
        Repaint();
        ShowMessage(this, QStringLiteral("検索対象が見つかりませんでした。"),
                    QStringLiteral("検索結果"), MessageIcon::Information);
        return;
    }
    // The text search may have grown the list; the markers follow it. Both keep the grown size
    // until the options reallocate them, so later searches need not grow them again.
    try {
        state_.markerPos.resize(std::max(state_.markerPos.size(), state_.found.targets.size()));
    } catch (const std::bad_alloc&) {
        return;
    }
    SetOriginToTarget(0);
    state_.originValid = 1;
    wait.Restore();
    ShowListAfterSearch();
    state_.originX = ViewCentrePoint().x;
    state_.originY = ViewCentrePoint().y;
    Repaint();
    ShowMessage(this, QStringLiteral("検索対象が%1個見つかりました。").arg(state_.found.count),
                QStringLiteral("検索結果"), MessageIcon::Information);
}

void MainWindow::BringTargetIntoView(int k) {
    const TargetRecord* t = state_.found.targets[static_cast<size_t>(k)];
    if (state_.settings.OrgFixedMode == 1) {
        PixelPoint c = ViewCentrePoint();
        double dLon = DmsToDegrees(t->lon) - DmsToDegrees(state_.originLon);
        double dLat = DmsToDegrees(t->lat) - DmsToDegrees(state_.originLat);
        state_.originX = c.x - static_cast<int>(dLon * state_.scale);
        state_.originY = static_cast<int>(dLat * state_.scale) + c.y;
        Repaint();
    } else {
        SetOriginToTarget(k);
        SearchAroundOrigin();
    }
}

void MainWindow::RadarCommand(int id) {
    if (!NeedsOrigin()) {
        return;
    }
    int k = MarkerAt(state_.pressPoint);
    if (k < 0 && (id == ID_RADAR_DETAILS || id == ID_RADAR_CALL)) {
        NoItemSelected();
        return;
    }
    if (id == ID_RADAR_DETAILS) {
        state_.selectedTarget = k;
        if (hooks_.details) {
            hooks_.details(k);
        }
    } else if (id == ID_RADAR_CALL) {
        if (hooks_.phoneCall) {
            hooks_.phoneCall(k);
        }
    } else if (id == ID_RADAR_SET_ORIGIN) {
        k >= 0 ? SetOriginToTarget(k) : SetOriginAtPoint(state_.pressPoint);
        SearchAroundOrigin();
    } else {
        FavoriteRecord record;
        if (k >= 0) {
            record = TargetAsFavorite(state_.found.targets[static_cast<size_t>(k)]);
        } else {
            PointToPosition(state_.View(), state_.pressPoint, record.lat, record.lon);
        }
        if (id == ID_RADAR_ADD_FAVORITE) {
            AddFavoriteWithDialog(record);
        } else if (id == ID_RADAR_MAP && hooks_.showMap) {
            hooks_.showMap(record.lat, record.lon);
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
            state_.selectedTarget = k;
            if (hooks_.details) {
                hooks_.details(k);
            }
            break;
        case ID_LIST_MOVE:
            BringTargetIntoView(k);
            break;
        case ID_LIST_SET_ORIGIN:
            SetOriginToTarget(k);
            SearchAroundOrigin();
            break;
        case ID_LIST_ADD_FAVORITE:
            AddFavoriteWithDialog(TargetAsFavorite(t));
            break;
        case ID_LIST_MAP:
            if (hooks_.showMap) {
                hooks_.showMap(t->lat, t->lon);
            }
            break;
        case ID_LIST_CALL:
            if (hooks_.phoneCall) {
                hooks_.phoneCall(k);
            }
            break;
        default:
            break;
    }
}

}  // namespace zentorak
