#include "gui/app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

#include "core/position/update_cycle.h"
#include "core/resources/resource_ids.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/dialogs/qt_dialogs.h"
#include "gui/platform/accelerators_first.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/platform/tap_and_hold.h"
#include "gui/resources/menu_builder.h"

namespace zentorak {

using namespace res;

MainWindow::MainWindow(AppState& state)
    : state_(state),
      content_(new QWidget(this)),
      radar_(new RadarWidget(state, content_)),
      softKeys_(
          new SoftKeyBar(ID_UPDATE, ResourceString(IDS_UPDATE), ResourceString(IDS_MENU), this)),
      tapAndHold_(new TapAndHold(QPoint(state.dpi.ScaleX(4), state.dpi.ScaleY(4)), this)),
      listHold_(new TapAndHold(QPoint(state.dpi.ScaleX(4), state.dpi.ScaleY(4)), this)) {
    setWindowTitle(ResourceString(IDS_APP_TITLE));
    setWindowIcon(AppIcon());
    content_->setAutoFillBackground(true);
    content_->setPalette(QPalette(Qt::white));
    panes_ = std::make_unique<ResultPanes>(content_, state_);
    updates_ = std::make_unique<RepaintOnlyUpdates>([this] { Repaint(); });
    dialogs_ = std::make_unique<QtDialogs>(*this);
    connect(&updateTimer_, &QTimer::timeout, this,
            [this] { updates_->UpdateNow(kPeriodicPollLimit); });
    connect(softKeys_, &SoftKeyBar::Command, this, [this](int id) { Dispatch(id); });
    ConnectRadar();
    ConnectList();
    BuildMenus();
    BuildAccelerators();
    // Tab goes round the window as it is laid out: the radar, the pane, the two soft keys.
    setTabOrder(radar_, panes_->List());
    setTabOrder(panes_->List(), panes_->Log());
    setTabOrder(panes_->Log(), softKeys_->LeftKey());
    setTabOrder(softKeys_->LeftKey(), softKeys_->RightKey());
    // The default handset less its task bar; the soft-key bar is part of this window.
    ScreenSize handset = DefaultHandsetScreen(state_.dpi);
    resize(handset.width, handset.height - state_.dpi.ScaleY(kBarHeight));
    SetHandsetScreenSource([this] { return Screen(); });
    LayoutContent();  // a hidden window gets its resize event only when shown
}

// The update cycle goes first: it stops its GPS reader while the window's members are all
// still there.
MainWindow::~MainWindow() {
    SetHandsetScreenSource({});
    updates_.reset();
}

void MainWindow::ConnectRadar() {
    radar_->SetBusy([this] { return updates_->Busy(); });
    connect(radar_, &RadarWidget::PenDown, this,
            [this](QPoint p, bool right) { PenDown(p, right); });
    connect(radar_, &RadarWidget::PenMove, this, &MainWindow::PenMove);
    connect(radar_, &RadarWidget::PenUp, this, &MainWindow::PenUp);
    connect(radar_, &RadarWidget::PenCancel, this, &MainWindow::PenCancel);
    connect(radar_, &RadarWidget::Zoom, this, &MainWindow::ZoomBy);
    connect(radar_, &RadarWidget::Painted, this, [this] {
        // A painted origin hands the keyboard to the list, as the handset does; a radar the
        // person chose with Tab keeps it (its zoom keys repaint it).
        if (state_.originValid == 1 && panes_->List()->isVisible() && !radar_->KeepsKeyboard()) {
            panes_->List()->setFocus();
        }
        if (!painted_) {
            painted_ = true;
            emit FirstPainted();
        }
    });
    connect(tapAndHold_, &TapAndHold::Held, this, &MainWindow::TapAndHoldAt);
}

// The list menu comes with a right click or a held pen; a click or Enter opens the details.
void MainWindow::ConnectList() {
    QTreeWidget* list = panes_->List();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](QPoint p) {
        ShowPopup(IDR_LIST_POPUP, list->viewport()->mapToGlobal(p));
    });
    list->viewport()->installEventFilter(this);
    connect(listHold_, &TapAndHold::Held, this, [this, list](QPoint p) {
        ShowPopup(IDR_LIST_POPUP, list->viewport()->mapToGlobal(p));
    });
    connect(list, &QTreeWidget::itemActivated, this, [this] { Dispatch(ID_LIST_DETAILS); });
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this] {
        state_.markedTargets = panes_->SelectedRows();
        radar_->update();
    });
    // Where a single click already activates an item, the click must not open it twice.
    if (!list->style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, list)) {
        connect(list, &QTreeWidget::itemClicked, this, [this] { Dispatch(ID_LIST_DETAILS); });
    }
}

void MainWindow::BuildMenus() {
    CommandSink sink = [this](int id) { Dispatch(id); };
    menuPopup_ = new QMenu(this);
    FillMenu(menuPopup_, MainMenu()[1].children, sink);
    softKeys_->SetRightMenu(menuPopup_);

    favoritesMenu_ = new QMenu(this);
    AddCommand(favoritesMenu_, ID_ADD_FAVORITE, QStringLiteral("お気に入りに追加..."), sink);
    AddCommand(favoritesMenu_, ID_ORGANIZE_FAVORITES, QStringLiteral("お気に入りの整理..."), sink);
    favoritesMenu_->addSeparator();
    InsertPopup(menuPopup_, kFavoritesMenuPosition, favoritesMenu_, QStringLiteral("お気に入り"));

    viewMenu_ = new QMenu(this);
    AddCommand(viewMenu_, ID_ORIGIN_MODE, QString(), sink);
    AddCommand(viewMenu_, ID_MAP, QStringLiteral("地図表示"), sink);
    AddCommand(viewMenu_, ID_TOGGLE_PANE, QStringLiteral("ログ/一覧切替"), sink);
    InsertPopup(menuPopup_, kViewMenuPosition, viewMenu_, QStringLiteral("表示"));
    RefreshOriginModeTexts();

    radarMenuRoot_ = new QMenu(this);
    FillMenu(radarMenuRoot_, RadarMenu(), sink);
    radarPopup_ = radarMenuRoot_->actions().first()->menu();
    listMenuRoot_ = new QMenu(this);
    FillMenu(listMenuRoot_, ListMenu(), sink);
    listPopup_ = listMenuRoot_->actions().first()->menu();
}

void MainWindow::BuildAccelerators() {
    auto* about = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), this);
    connect(about, &QShortcut::activated, this, [this] { Dispatch(ID_ABOUT); });
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, [this] { Dispatch(ID_QUIT); });
    // Whatever has the focus, as on the handset (the log pane would select its text).
    new AcceleratorsFirst(this, {about->key(), quit->key()});
    // + and - zoom as the strip's keys do.
    for (auto [key, factor] :
         {std::pair{Qt::Key_Plus, kZoomInFactor}, std::pair{Qt::Key_Minus, kZoomOutFactor}}) {
        auto* zoom = new QShortcut(QKeySequence(key), this);
        connect(zoom, &QShortcut::activated, this, [this, factor] { ZoomBy(factor); });
    }
}

void MainWindow::RefreshOriginModeTexts() {
    // The item names the mode that choosing it switches to.
    QString text = state_.settings.OrgFixedMode == 1 ? QStringLiteral("基点モード(浮動)")
                                                     : QStringLiteral("基点モード(固定)");
    FindCommand(viewMenu_, ID_ORIGIN_MODE)->setText(text);
    if (radarPopup_ != nullptr) {
        FindCommand(radarPopup_, ID_RADAR_ORIGIN_MODE)->setText(text);
    }
}

void MainWindow::AppendFavoriteItem(int commandId, const QString& name) {
    AddCommand(favoritesMenu_, commandId, name, [this](int id) { Dispatch(id); });
}

void MainWindow::RebuildFavoriteItems() {
    const QList<QAction*> actions = favoritesMenu_->actions();
    for (qsizetype i = 3; i < actions.size(); ++i) {
        favoritesMenu_->removeAction(actions[i]);
        delete actions[i];
    }
    for (int i = 0; i < state_.favorites.count() && FavoriteCommandOf(i) != 0; ++i) {
        AppendFavoriteItem(FavoriteCommandOf(i), ToQString(state_.favorites[i].name));
    }
}

void MainWindow::SetPositionUpdates(std::unique_ptr<PositionUpdates> updates) {
    updates_ = std::move(updates);
}

void MainWindow::SetSoftKeyText(const QString& text) {
    softKeys_->SetLeftText(text);
}

void MainWindow::ShowLogPane() {
    state_.paneMode = kPaneLog;
    panes_->ShowPane();
}

void MainWindow::SetLogText(const std::u16string& text) {
    state_.log.Replace(text);
    panes_->SetLogText();
}

std::optional<std::u16string> MainWindow::TelephoneText(int index) const {
    if (state_.telColumn < 2 || index < 0 || index >= state_.found.count) {
        return std::nullopt;
    }
    const TargetRecord* t = state_.found.targets[static_cast<size_t>(index)];
    if (!t->HasInfo(state_.telColumn - 2) || t->Info(state_.telColumn - 2).empty()) {
        return std::nullopt;
    }
    return std::u16string(t->Info(state_.telColumn - 2));
}

void MainWindow::StartUpdateTimer(int id, int periodMs) {
    updateTimer_.start(periodMs);
    state_.updateTimer = id;
}

void MainWindow::StopUpdateTimer() {
    updateTimer_.stop();
    state_.updateTimer = 0;
}

void MainWindow::PostCommand(int id, int param) {
    QMetaObject::invokeMethod(
        this, [this, id, param] { Dispatch(id, param); }, Qt::QueuedConnection);
}

void MainWindow::Repaint() {
    radar_->UpdateSpeech();  // also while the window is hidden or covered
    radar_->repaint();
}

ScreenSize MainWindow::Screen() const {
    return HandsetScreen(content_->width(), content_->height(), state_.dpi);
}

PixelPoint MainWindow::ViewCentrePoint() const {
    return ViewCentre(state_.layout);
}

// Every size change lays the window out at once; the origin keeps its place relative to the view
// centre, so that the picture stays centred as it was rather than drifting to a corner.
void MainWindow::LayoutContent() {
    const PixelPoint oldCentre = ViewCentrePoint();
    int bar = state_.dpi.ScaleY(kBarHeight);
    content_->setGeometry(0, 0, width(), std::max(0, height() - bar));
    softKeys_->setGeometry(0, height() - bar, width(), bar);
    state_.layout = LayoutFor(Screen(), state_.dpi, panes_->FiveRowsHeight());
    const PixelRect& r = state_.layout.radar;
    radar_->setGeometry(r.x, r.y, r.width, r.height);
    panes_->Layout(state_.layout.pane);
    const PixelPoint newCentre = ViewCentrePoint();
    state_.originX += newCentre.x - oldCentre.x;
    state_.originY += newCentre.y - oldCentre.y;
    radar_->update();
}

void MainWindow::resizeEvent(QResizeEvent*) {
    LayoutContent();
}

// Tap-and-hold on the result list opens the list menu.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panes_->List()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                listHold_->Press(mouse->position().toPoint());
            }
        } else if (event->type() == QEvent::MouseMove) {
            listHold_->Move(static_cast<QMouseEvent*>(event)->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            listHold_->Release();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        emit Closing();
    }
    event->accept();
}

QMenu* MainWindow::PopupMenu(int menuId) {
    return menuId == IDR_LIST_POPUP ? listPopup_ : radarPopup_;
}

void MainWindow::ShowPopup(int menuId, QPoint global) {
    popupOpen_ = true;
    dialogs_->PopupMenu(menuId, {global.x(), global.y()});
    popupOpen_ = false;
    std::vector<int> held;
    held.swap(positionsWhilePopup_);
    for (int source : held) {
        Dispatch(ID_POSITION_READY, source);
    }
}

// One piece on purpose: every command is a case of this one switch, as in a window procedure.
void MainWindow::Dispatch(int id, int param) {
    if (inputGate_) {
        inputGate_();
    }
    if (int favorite = FavoriteIndexOfCommand(id, state_.favorites.count()); favorite >= 0) {
        ChooseFavorite(favorite);
        return;
    }
    switch (id) {
        case ID_UPDATE:
            updates_->OnSoftKey();
            break;
        case ID_POSITION_READY:
            if (popupOpen_) {
                positionsWhilePopup_.push_back(param);
            } else {
                updates_->OnPositionReady(param);
            }
            break;
        case ID_SEARCH:
            ConditionalSearch();
            break;
        case ID_SET_ORIGIN:
            SetOriginAtPoint(ViewCentrePoint());
            SearchForPerson();
            break;
        case ID_MOVE_TO_ORIGIN:
            state_.originX = ViewCentrePoint().x;
            state_.originY = ViewCentrePoint().y;
            Repaint();
            break;
        case ID_ENTER_COORDINATES:
            EnterCoordinates();
            break;
        case ID_OPTIONS:
            if (dialogs_->Options()) {
                // Written at once, so that a program killed later keeps the new options.
                SaveSettingsNow();
                ReloadAfterOptions();
            }
            break;
        case ID_ABOUT:
            dialogs_->About();
            break;
        case ID_EXIT:
        case ID_QUIT:
            close();
            break;
        case ID_ADD_FAVORITE:
            if (NeedsOrigin()) {
                FavoriteRecord record;
                PointToPosition(state_.View(), ViewCentrePoint(), record.lat, record.lon);
                AddFavoriteWithDialog(record);
            }
            break;
        case ID_ORGANIZE_FAVORITES:
            dialogs_->OrganizeFavorites();
            break;
        case ID_ORIGIN_MODE:
        case ID_RADAR_ORIGIN_MODE:
            ToggleOriginMode();
            break;
        case ID_MAP:
            if (NeedsOrigin()) {
                DmsAngle lat, lon;
                PointToPosition(state_.View(), ViewCentrePoint(), lat, lon);
                ShowTargetOnMap(lat, lon);
            }
            break;
        case ID_TOGGLE_PANE:
            panes_->Toggle();
            break;
        case ID_RADAR_DETAILS:
        case ID_RADAR_SET_ORIGIN:
        case ID_RADAR_ADD_FAVORITE:
        case ID_RADAR_MAP:
        case ID_RADAR_CALL:
            RadarCommand(id);
            break;
        case ID_LIST_DETAILS:
        case ID_LIST_MOVE:
        case ID_LIST_SET_ORIGIN:
        case ID_LIST_ADD_FAVORITE:
        case ID_LIST_MAP:
        case ID_LIST_CALL:
            ListCommand(id);
            break;
        default:
            break;
    }
}

}  // namespace zentorak
