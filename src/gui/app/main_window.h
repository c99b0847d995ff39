// The program's only top-level window: the radar area, the list and log panes, the soft-key bar
// and the menus. Every menu item, soft key, accelerator and posted command arrives at
// Dispatch(id), one switch, as a window procedure would have it. Owns no settings file work:
// start-up and teardown are the Application's.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/app/app_state.h"
#include "core/app/commands.h"
#include "core/app/dialogs.h"
#include "core/app/position_updates.h"
#include "gui/dialogs/dialog_host.h"

class QMenu;
class QAction;

namespace zentorak {

class RadarWidget;
class ResultPanes;
class SoftKeyBar;
class TapAndHold;

class MainWindow : public QWidget, public DialogHost {
    Q_OBJECT
public:
    explicit MainWindow(AppState& state);
    ~MainWindow() override;

    // param travels with the command, as a window message's parameter would (the source of a
    // posted position-ready command).
    void Dispatch(int id, int param = 0);
    // Safe from any thread: the command arrives through the event loop, in order.
    void PostCommand(int id, int param = 0);

    void SetPositionUpdates(std::unique_ptr<PositionUpdates> updates);
    // Runs before every command and pen press (start-up uses it to finish loading first).
    void SetInputGate(std::function<void()> gate) { inputGate_ = std::move(gate); }
    PositionUpdates& Updates() { return *updates_; }
    // The dialogs the commands open: the Qt ones unless replaced (tests install a recorder).
    void SetDialogs(std::unique_ptr<Dialogs> dialogs) { dialogs_ = std::move(dialogs); }
    Dialogs& DialogsInUse() { return *dialogs_; }

    // Pen handling on the radar (client coordinates).
    void PenDown(QPoint p, bool rightButton = false);
    void PenMove(QPoint p);
    void PenUp(QPoint p);
    void TapAndHoldAt(QPoint p);
    // A gesture that is not the pen's (a pinch) took over: the press ends without acting.
    void PenCancel();
    // Zooms around the view centre by `factor` (the zoom keys, the wheel, a pinch, + and -).
    void ZoomBy(double factor);
    // A zoom drag in the strip has reached pt.
    void ZoomDragTo(PixelPoint pt);

    // Favourites menu kept in step with state.favorites: items 2001 + i after the fixed ones.
    void AppendFavoriteItem(int commandId, const QString& name);
    void RebuildFavoriteItems();

    void SetSoftKeyText(const QString& text);
    // For the update cycle: the log pane shown, its whole text replaced, a target's telephone
    // text (none without a telephone column, target or text).
    void ShowLogPane();
    void SetLogText(const std::u16string& text);
    std::optional<std::u16string> TelephoneText(int index) const;
    // The one periodic timer (SetTimer): `id` is kept in the state, ticks every `periodMs`.
    void StartUpdateTimer(int id, int periodMs);
    void StopUpdateTimer();
    bool UpdateTimerRunning() const { return updateTimer_.isActive(); }
    int UpdateTimerInterval() const { return updateTimer_.interval(); }
    void Repaint();
    void SearchAroundOrigin();
    void RefreshOriginModeTexts();
    // DialogHost; the favourite and map actions serve the window's own commands too.
    QWidget* DialogOwner() override { return this; }
    AppState& State() override { return state_; }
    FavoriteRecord TargetAsFavorite(const TargetRecord* t) const override;
    void AddFavoriteWithDialog(FavoriteRecord record) override;
    bool RenameFavorite(int index) override;
    bool DeleteFavorite(int index) override;
    void ShowTargetOnMap(const DmsAngle& lat, const DmsAngle& lon) override;
    void PlaceCall(int target) override { updates_->PlaceCall(target); }
    QMenu* PopupMenu(int menuId) override;
    // After the options were applied: arrays and targets afresh, then a search at the origin.
    void ReloadAfterOptions();
    // Location-info files given from outside (the command line, a file manager, a later start):
    // added as the options sheet adds them, saved, loaded and searched; refusals are shown.
    void OpenLocationInfoFiles(const QStringList& paths);
    // Writes the settings file at once (after the favourites or options changed); a failure is
    // shown and the change stays in memory for the save at the end. True when written.
    bool SaveSettingsNow();

    // Handset screen the window stands for: W = content width, H = content height + 2 bars.
    ScreenSize Screen() const;
    PixelPoint ViewCentrePoint() const;

    RadarWidget* Radar() const { return radar_; }
    ResultPanes& Panes() const { return *panes_; }
    SoftKeyBar* SoftKeys() const { return softKeys_; }
    QMenu* MainPopup() const { return menuPopup_; }
    QMenu* FavoritesMenu() const { return favoritesMenu_; }
    QMenu* ViewMenu() const { return viewMenu_; }
    QMenu* RadarPopup() const { return radarPopup_; }
    QMenu* ListPopup() const { return listPopup_; }

signals:
    // The window is closing normally (user, window manager, session end): tear down now.
    void Closing();
    void FirstPainted();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectRadar();
    void ConnectList();
    void BuildMenus();
    void BuildAccelerators();
    void LayoutContent();
    // A popup's command acts on what the popup was opened over: position-ready commands that
    // arrive while it is open (a periodic update) wait until it has closed.
    void ShowPopup(int menuId, QPoint global);
    // Every box is owned by the window, so that it stands over the window and fits inside it.
    int Show(const Notice& notice);

    // Commands.
    bool NeedsOrigin();
    int SelectedRowOrComplain();
    bool ConfirmFixedMode();
    void ConditionalSearch();
    // A search the person asked for (not a periodic update): the list's current row is then
    // selected if nothing else is.
    void SearchForPerson();
    void ToggleOriginMode();
    void SetOriginAtPoint(PixelPoint p);
    void SetOriginToTarget(int k);
    void ChooseFavorite(int index);
    void EnterCoordinates();
    void ShowDetails(int k);
    void RadarCommand(int id);
    void ListCommand(int id);
    void ShowListAfterSearch();
    void FinishFloatingPan(QPoint p);
    int MarkerAt(PixelPoint p) const;

    AppState& state_;
    QWidget* content_;
    RadarWidget* radar_;
    std::unique_ptr<ResultPanes> panes_;
    SoftKeyBar* softKeys_;
    TapAndHold* tapAndHold_;
    TapAndHold* listHold_;
    QMenu* menuPopup_ = nullptr;
    QMenu* favoritesMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* radarMenuRoot_ = nullptr;
    QMenu* radarPopup_ = nullptr;
    QMenu* listMenuRoot_ = nullptr;
    QMenu* listPopup_ = nullptr;
    QTimer updateTimer_;
    std::unique_ptr<PositionUpdates> updates_;
    std::unique_ptr<Dialogs> dialogs_;
    std::function<void()> inputGate_;
    bool closing_ = false;
    bool painted_ = false;
    bool popupOpen_ = false;
    std::vector<int> positionsWhilePopup_;  // the params of position-ready commands held back
};

}  // namespace zentorak
