#include <QAction>
#include <QApplication>
#include <QGestureEvent>
#include <QMenu>
#include <QPinchGesture>
#include <QTest>
#include <QWheelEvent>

#include <QHeaderView>

#include "core/resources/resource_ids.h"
#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/platform/qt_text.h"
#include "gui/resources/menu_builder.h"

namespace zentorak::testing {
namespace {

class MainWindowTest : public AppFixture {
protected:
    void SetUp() override {
        WriteSettings({"OrgFixedMode:1"});
        ASSERT_TRUE(Start());
        Dialogs();
    }
    // Chooses favourite 東京 and paints, so markers and grid spacing are known.
    void FixAtTokyo() {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        Window().Dispatch(2001);
        Window().Radar()->repaint();
        ASSERT_GT(state->gridSpacing, 0);
    }
    QString Row(int i) const { return state->found.count > i ? QString::number(i) : QString(); }
    const std::vector<int>& details() { return Dialogs().details; }
};

TEST_F(MainWindowTest, FavouriteBeforeAnyFixSetsOriginAndSearches) {
    ASSERT_EQ(state->originValid, 0);
    Window().Dispatch(2001);
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 20, 0}));
    EXPECT_EQ(state->found.count, 20);
    // The nearest is the shop standing on the favourite: row 4, column 2 of the lattice.
    EXPECT_EQ(state->found.targets[0]->Info(0), u"店26");
    EXPECT_EQ(state->paneMode, kPaneList);
    EXPECT_TRUE(Window().Panes().List()->isVisible());
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 20);
    EXPECT_EQ(Window().Panes().List()->headerItem()->text(1), QStringLiteral("店名"));
    EXPECT_EQ(Window().Panes().List()->topLevelItem(0)->text(1), QStringLiteral("店26"));
    // A command id past the favourites does nothing.
    Window().Dispatch(2003);
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
}

TEST_F(MainWindowTest, CommandsNeedingAnOriginSayItIsNotSet) {
    Window().Dispatch(32774);  // 地図表示
    Window().Dispatch(32787);  // radar 詳細表示
    ASSERT_EQ(messages.records.size(), 2u);
    for (const MessageRecord& r : messages.records) {
        EXPECT_EQ(r.text, QStringLiteral("位置が設定されていません。"));
        EXPECT_EQ(r.title, QStringLiteral("位置設定"));
        EXPECT_TRUE(r.hasOwner);  // over the window, and no wider than it
    }
    Window().Dispatch(32783);  // list 移動 without a selected row
    ASSERT_EQ(messages.records.size(), 3u);
    EXPECT_EQ(messages.records[2].text, QStringLiteral("項目が選択されていません。"));
    EXPECT_EQ(messages.records[2].title, QStringLiteral("未選択"));
}

TEST_F(MainWindowTest, TapOnLabelOpensDetailsOfTheTopmostTarget) {
    FixAtTokyo();
    PixelPoint m = state->markerPos[0];
    Window().PenDown(QPoint(m.x + 3, m.y + 3));
    Window().PenMove(QPoint(m.x + 6, m.y + 6));  // within ScaleX(4): still a tap
    Window().PenUp(QPoint(m.x + 6, m.y + 6));
    EXPECT_EQ(details(), (std::vector<int>{0}));
    EXPECT_EQ(state->selectedTarget, 0);
    // A tap on empty ground opens nothing.
    Window().PenDown(QPoint(5, 5));
    Window().PenUp(QPoint(5, 5));
    EXPECT_EQ(details().size(), 1u);
}

TEST_F(MainWindowTest, PanInFixedModeMovesOnlyThePicture) {
    FixAtTokyo();
    DmsAngle lat = state->originLat, lon = state->originLon;
    int x = state->originX, y = state->originY;
    Window().PenDown(QPoint(50, 50));
    Window().PenMove(QPoint(60, 50));  // leaves the tap zone, becomes a pan
    Window().PenMove(QPoint(80, 70));
    Window().PenUp(QPoint(90, 75));
    // The move that starts the pan changes nothing; the rest adds up from the press point.
    EXPECT_EQ(state->originX, x + 40);
    EXPECT_EQ(state->originY, y + 25);
    EXPECT_EQ(state->originLat, lat);
    EXPECT_EQ(state->originLon, lon);
    EXPECT_EQ(state->dragState, kDragIdle);
}

TEST_F(MainWindowTest, PanInFloatingModeSnapsOriginNearCentreAndListsNearestToCentre) {
    FixAtTokyo();
    Window().Dispatch(32782);  // to floating
    ASSERT_EQ(state->settings.OrgFixedMode, 2);
    Window().Radar()->repaint();
    ASSERT_GT(state->gridSpacing, 0);
    Window().PenDown(QPoint(150, 150));
    Window().PenMove(QPoint(140, 140));
    Window().PenUp(QPoint(30, 60));
    PixelPoint c = Window().ViewCentrePoint();
    EXPECT_LT(std::abs(state->originX - c.x), state->gridSpacing);
    EXPECT_LT(std::abs(state->originY - c.y), state->gridSpacing);
    // The list holds what a search around the view centre finds.
    DmsAngle lat, lon;
    PointToPosition(state->View(), c, lat, lon);
    FoundTargets expected;
    ASSERT_EQ(expected.Allocate(21), 0);
    ASSERT_EQ(SearchNearest(state->grid, lat, lon, 20, expected), 0);
    ASSERT_EQ(state->found.count, expected.count);
    for (int i = 0; i < expected.count; ++i) {
        EXPECT_EQ(state->found.targets[i], expected.targets[i]) << i;
    }
}

TEST_F(MainWindowTest, ZoomStripMovesCountFromThePreviousMoveAndClamp) {
    FixAtTokyo();
    int strip = Window().ViewCentrePoint().x * 2 - 5;
    ASSERT_EQ(state->scale, 1000);
    Window().PenDown(QPoint(strip, 150));
    Window().PenMove(QPoint(strip, 144));  // leaves the tap zone: zoom, nothing changes yet
    EXPECT_EQ(state->scale, 1000);
    Window().PenMove(QPoint(strip, 134));  // 10 px up from the move before: x 1.5
    EXPECT_EQ(state->scale, 1500);
    Window().PenUp(QPoint(strip, 124));  // and once more on pen up
    EXPECT_EQ(state->scale, 2250);
    // Down by 19 px at a time: x 0.05 each, held at the least scale.
    Window().PenDown(QPoint(strip, 10));
    Window().PenMove(QPoint(strip, 20));
    for (int i = 0; i < 8; ++i) {
        Window().PenMove(QPoint(strip, 39 + 19 * i));
    }
    Window().PenUp(QPoint(strip, 200));
    EXPECT_EQ(state->scale, kMinScale);
    Window().PenDown(QPoint(strip, 180));
    Window().PenMove(QPoint(strip, 170));
    for (int i = 1; i <= 30; ++i) {
        Window().PenMove(QPoint(strip, 170 - 20 * i));  // doubles each time
    }
    Window().PenUp(QPoint(strip, 170 - 20 * 30));
    EXPECT_EQ(state->scale, kMaxScale);
}

// One quick drag: the move past the threshold, then 10 px further down, which halves the scale.
// Counted from the press that would be 15 px and leave a quarter.
TEST_F(MainWindowTest, QuickDragDownIsOneMeasuredStep) {
    FixAtTokyo();
    int strip = Window().ViewCentrePoint().x * 2 - 5;
    state->scale = 4000;
    Window().PenDown(QPoint(strip, 100));
    Window().PenMove(QPoint(strip, 105));
    Window().PenMove(QPoint(strip, 115));  // 10 px down: half
    Window().PenUp(QPoint(strip, 115));
    EXPECT_EQ(state->scale, 2000);
}

TEST_F(MainWindowTest, TapsOnTheZoomKeysStepInAndOut) {
    FixAtTokyo();
    const int strip = Window().ViewCentrePoint().x * 2 - 5;
    const int bottom = Window().ViewCentrePoint().y * 2;
    state->originX += 30;  // the origin's distance from the centre follows the scale
    const int offset = 30;
    const PixelPoint c = Window().ViewCentrePoint();
    Window().PenDown(QPoint(strip, 5));  // "+"
    Window().PenUp(QPoint(strip, 6));
    EXPECT_EQ(state->scale, 2000);
    EXPECT_EQ(state->originX - c.x, 2 * offset);
    Window().PenDown(QPoint(strip, bottom - 5));  // "--"
    Window().PenUp(QPoint(strip, bottom - 5));
    Window().PenDown(QPoint(strip, bottom - 5));
    Window().PenUp(QPoint(strip, bottom - 5));
    EXPECT_EQ(state->scale, 500);
    EXPECT_EQ(state->originX - c.x, offset / 2);
    EXPECT_TRUE(details().empty());  // a key, never a target hidden under the strip
}

TEST_F(MainWindowTest, WheelZoomsByTheKeysSteps) {
    FixAtTokyo();
    auto wheel = [this](int angle) {
        QPointF at(50, 50);
        QWheelEvent event(at, Window().Radar()->mapToGlobal(at), QPoint(), QPoint(0, angle),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Window().Radar(), &event);
    };
    wheel(120);
    EXPECT_EQ(state->scale, 2000);
    wheel(-240);
    EXPECT_EQ(state->scale, 500);
    wheel(60);  // half a notch of a fine wheel: nothing yet
    EXPECT_EQ(state->scale, 500);
    wheel(60);
    EXPECT_EQ(state->scale, 1000);
    EXPECT_EQ(state->originX, Window().ViewCentrePoint().x);  // around the view centre
}

TEST_F(MainWindowTest, PinchZoomsAndEndsThePensGesture) {
    FixAtTokyo();
    Window().PenDown(QPoint(60, 60));  // the first finger
    QPinchGesture pinch;
    pinch.setChangeFlags(QPinchGesture::ScaleFactorChanged);
    pinch.setScaleFactor(1.5);
    QGestureEvent event({&pinch});
    QApplication::sendEvent(Window().Radar(), &event);
    EXPECT_EQ(state->scale, 1500);
    // The finger that pressed first no longer pans, taps or holds.
    EXPECT_EQ(state->dragState, kDragIdle);
    pinch.setScaleFactor(0.5);
    QApplication::sendEvent(Window().Radar(), &event);
    EXPECT_EQ(state->scale, 750);
    PixelPoint m = state->markerPos[0];
    Window().PenUp(QPoint(m.x + 2, m.y + 2));
    EXPECT_TRUE(details().empty());
}

TEST_F(MainWindowTest, PlusAndMinusKeysZoom) {
    FixAtTokyo();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), Qt::Key_Plus);
    EXPECT_EQ(state->scale, 2000);
    QTest::keyClick(&Window(), Qt::Key_Minus);
    QTest::keyClick(&Window(), Qt::Key_Minus);
    EXPECT_EQ(state->scale, 500);
}

TEST_F(MainWindowTest, OriginModeToggleAlternatesTextsBothMenus) {
    FixAtTokyo();
    QAction* view = res::FindCommand(Window().ViewMenu(), 32782);
    QAction* radar = res::FindCommand(Window().RadarPopup(), 32790);
    EXPECT_EQ(view->text(), QStringLiteral("基点モード(浮動)"));
    Window().Dispatch(32782);
    EXPECT_EQ(state->settings.OrgFixedMode, 2);
    EXPECT_EQ(view->text(), QStringLiteral("基点モード(固定)"));
    EXPECT_EQ(radar->text(), QStringLiteral("基点モード(固定)"));
    Window().Dispatch(32790);
    EXPECT_EQ(state->settings.OrgFixedMode, 1);
    EXPECT_EQ(view->text(), QStringLiteral("基点モード(浮動)"));
    PixelPoint c = Window().ViewCentrePoint();
    EXPECT_EQ(state->originX, c.x);
    EXPECT_EQ(state->originY, c.y);
}

TEST_F(MainWindowTest, TapAndHoldOpensRadarMenuWithItemsGreyedOffLabels) {
    FixAtTokyo();
    std::vector<std::pair<bool, bool>> seen;
    Dialogs().onPopup = [&](int menuId) {
        ASSERT_EQ(menuId, res::IDR_RADAR_POPUP);
        QMenu* menu = Window().RadarPopup();
        seen.push_back({res::FindCommand(menu, 32787)->isEnabled(),
                        res::FindCommand(menu, 32793)->isEnabled()});
    };
    PixelPoint m = state->markerPos[0];
    Window().TapAndHoldAt(QPoint(m.x + 2, m.y + 2));
    Window().TapAndHoldAt(QPoint(3, 3));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(true, true));
    EXPECT_EQ(seen[1], std::make_pair(false, false));
    // A right press in the zoom strip never opens the menu: it starts a pending drag.
    int strip = Window().ViewCentrePoint().x * 2 - 5;
    Window().PenDown(QPoint(strip, 50), true);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(state->dragState, kDragPending);
    Window().PenUp(QPoint(strip, 50));
}

TEST_F(MainWindowTest, HeldPenOpensTheMenuAfterHalfASecond) {
    FixAtTokyo();
    int shown = 0;
    Dialogs().onPopup = [&](int) { ++shown; };
    Window().PenDown(QPoint(40, 40));
    QTest::qWait(300);
    EXPECT_EQ(shown, 0);  // not yet
    QTRY_COMPARE_WITH_TIMEOUT(shown, 1, 5000);
    EXPECT_EQ(state->dragState, kDragIdle);
}

TEST_F(MainWindowTest, RadarSetOriginTakesTheMarkedTarget) {
    FixAtTokyo();
    // Zoomed in, the labels stand apart; take one that is not the nearest.
    state->scale = 20000;
    Window().Radar()->repaint();
    int k = 1;
    while (k < state->found.count &&
           HitTest(state->markerPos, state->found.count,
                   {state->markerPos[k].x + 1, state->markerPos[k].y + 1}, state->dpi) != k) {
        ++k;
    }
    ASSERT_LT(k, state->found.count);
    const TargetRecord* target = state->found.targets[k];
    Window().TapAndHoldAt(QPoint(state->markerPos[k].x + 1, state->markerPos[k].y + 1));
    Window().Dispatch(32789);
    EXPECT_EQ(state->originLat, target->lat);
    EXPECT_EQ(state->originLon, target->lon);
    EXPECT_EQ(state->found.targets[0], target);
    // Off every label the origin goes to the pressed point itself.
    Window().TapAndHoldAt(QPoint(2, 2));
    Window().Dispatch(32789);
    EXPECT_NE(state->originLat, target->lat);
}

TEST_F(MainWindowTest, GridAtDefaultScaleIsFiveKilometres) {
    FixAtTokyo();
    EXPECT_EQ(state->scale, 1000);
    // The painted grid is the 5 km step at the origin's latitude: 44 px at 1000 px a degree.
    GridStep step = ComputeGridStep(DmsToDegrees(state->originLat), state->scale, state->dpi);
    EXPECT_EQ(GridStepLabel(step.metres), "5km");
    EXPECT_EQ(state->gridSpacing, step.spacing);
    EXPECT_EQ(state->gridSpacing, 44);
}

TEST_F(MainWindowTest, TogglePaneSwitchesListAndLog) {
    EXPECT_EQ(state->paneMode, kPaneLog);
    Window().Dispatch(32775);
    EXPECT_EQ(state->paneMode, kPaneList);
    EXPECT_TRUE(Window().Panes().List()->isVisible());
    EXPECT_FALSE(Window().Panes().Log()->isVisible());
    Window().Dispatch(32775);
    EXPECT_TRUE(Window().Panes().Log()->isVisible());
}

TEST_F(MainWindowTest, ListMoveInFixedModeBringsTargetToCentre) {
    FixAtTokyo();
    QTreeWidget* list = Window().Panes().List();
    list->setCurrentItem(list->topLevelItem(5));
    const TargetRecord* t = state->found.targets[5];
    Window().Dispatch(32783);
    PixelPoint p = PositionToPoint(state->View(), t->lat, t->lon);
    PixelPoint c = Window().ViewCentrePoint();
    EXPECT_LE(std::abs(p.x - c.x), 1);
    EXPECT_LE(std::abs(p.y - c.y), 1);
}

TEST_F(MainWindowTest, LogKeepsNewestLinesWithinItsBuffer) {
    for (int i = 0; i < 400; ++i) {
        // As the update cycle hands it over: the whole text so far plus one line.
        std::u16string line = ToU16(QStringLiteral("AT@LBC line %1 ").arg(i).repeated(4));
        Window().SetLogText(state->log.Text() + line + u"\r\n");
    }
    QString text = Window().Panes().Log()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("line 399")));
    EXPECT_FALSE(text.contains(QStringLiteral("START")));
    EXPECT_LE(state->log.Text().size(), ExchangeLog::kCapacity);
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(MainWindowTest, AddedFavouriteGetsTheNextMenuCommand) {
    FixAtTokyo();
    std::vector<std::u16string> offered;
    Dialogs().nameFavorite = [&](FavoriteRecord& record) {
        offered.push_back(record.name);
        record.name = u"いつもの店";
        return 1;
    };
    QTreeWidget* list = Window().Panes().List();
    list->setCurrentItem(list->topLevelItem(0));
    Window().Dispatch(32784);  // list: お気に入りに追加...
    ASSERT_EQ(offered, (std::vector<std::u16string>{u"店26"}));  // the name column's text
    ASSERT_EQ(state->favorites.count(), 3);
    QAction* item = res::FindCommand(Window().FavoritesMenu(), 2003);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("いつもの店"));
    // Choosing it moves the origin to the shop.
    Window().Dispatch(2001);
    Window().Dispatch(2003);
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 20, 0}));
    // A cancelled dialog adds nothing.
    Dialogs().nameFavorite = [](FavoriteRecord&) { return 0; };
    Window().Dispatch(32794);
    EXPECT_EQ(state->favorites.count(), 3);
}

// With as many favourites as the menu has ids and one more (a large settings file), the ids
// from 32771 up stay the program's commands, and a further favourite is refused with a word.
TEST_F(MainWindowTest, FavouritesBeyondTheMenusLastIdAreNeitherChosenNorAdded) {
    FixAtTokyo();
    while (state->favorites.count() < kMaxMenuFavorites + 1) {
        ASSERT_EQ(AddFavorite(state->favorites, {{40, 0, 0, 0}, {140, 0, 0, 0}, u"遠く"}), 0);
    }
    Window().RebuildFavoriteItems();
    EXPECT_EQ(res::FindCommand(Window().FavoritesMenu(), 32771), nullptr);
    ASSERT_NE(res::FindCommand(Window().FavoritesMenu(), 32770), nullptr);
    Window().Dispatch(32771);  // 更新, not the 30,771st favourite
    EXPECT_EQ(state->originLat, (DmsAngle{35, 40, 40, 0}));
    int named = 0;
    Dialogs().nameFavorite = [&](FavoriteRecord&) { return ++named; };
    Window().Dispatch(32794);  // お気に入りに追加...
    EXPECT_EQ(named, 0);
    EXPECT_EQ(state->favorites.count(), kMaxMenuFavorites + 1);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("お気に入りの数が上限に達しました。"),
              QStringLiteral("エラー"), NoticeIcon::kError);
}

TEST_F(MainWindowTest, AppliedOptionsReloadTargetsAndResizeArrays) {
    FixAtTokyo();
    Dialogs().applyOptions = [this] {
        state->settings.TrgtSrchNum = 40;
        return true;
    };
    Window().Dispatch(32772);
    EXPECT_EQ(state->found.capacity(), 41);
    EXPECT_EQ(state->markerPos.size(), 41u);
    EXPECT_EQ(state->grid.size(), 30u);
    EXPECT_EQ(state->found.count, 30);
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 30);
    // Options closed without applying change nothing.
    Dialogs().applyOptions = [this] {
        state->settings.TrgtSrchNum = 20;
        return false;
    };
    Window().Dispatch(32772);
    EXPECT_EQ(state->found.capacity(), 41);
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(MainWindowTest, TelephoneTextAndLogPaneForTheUpdateCycle) {
    EXPECT_EQ(Window().TelephoneText(0), std::nullopt);  // nothing found yet
    FixAtTokyo();
    EXPECT_EQ(Window().TelephoneText(0), std::optional<std::u16string>(u"03-0000-0026"));
    EXPECT_EQ(Window().TelephoneText(20), std::nullopt);
    Window().SetLogText(u"AT@LBC\r\nOK\r\n");
    Window().ShowLogPane();
    EXPECT_EQ(state->paneMode, kPaneLog);
    EXPECT_TRUE(Window().Panes().Log()->isVisible());
    EXPECT_EQ(Window().Panes().Log()->toPlainText(), QStringLiteral("AT@LBC\nOK\n"));
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(MainWindowTest, ListColumnsKeepUserWidthsAndCapAutoSizes) {
    FixAtTokyo();
    QTreeWidget* list = Window().Panes().List();
    const Dpi& d = state->dpi;
    // No, 店名, 住所, TEL and the empty last column.
    ASSERT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->headerItem()->text(4), QString());
    EXPECT_EQ(list->columnWidth(3), d.ScaleX(100));  // the last data column is not sized
    list->setColumnWidth(1, d.ScaleX(70));           // wider than 20: kept
    list->setColumnWidth(2, d.ScaleX(20));           // 20 or less: sized to content again
    Window().Panes().Fill(1000);
    EXPECT_EQ(list->columnWidth(1), d.ScaleX(70));
    EXPECT_GT(list->columnWidth(2), d.ScaleX(20));
    // An automatically sized column never takes more than half of the window.
    list->setColumnWidth(2, 5);
    Window().Panes().Fill(40);
    EXPECT_LE(list->columnWidth(2), 20);
}

TEST_F(MainWindowTest, EmptyFillLeavesNoColumns) {
    FixAtTokyo();
    state->found.count = 0;
    Window().Panes().Fill(240);
    EXPECT_EQ(Window().Panes().List()->columnCount(), 0);
    EXPECT_EQ(Window().Panes().List()->topLevelItemCount(), 0);
    EXPECT_TRUE(Window().Panes().List()->updatesEnabled());
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(MainWindowTest, CoordinateEntryStartsAtViewCentreAndSearchesAfter) {
    FixAtTokyo();
    Dialogs().enterCoordinates = [](DmsAngle& lat, DmsAngle& lon, Settings&) {
        lat = {35, 40, 0, 0};  // what the person chose
        lon = {139, 46, 50, 0};
        return 1;
    };
    Window().Dispatch(32779);
    ASSERT_EQ(Dialogs().coordinateStarts.size(), 1u);
    EXPECT_EQ(Dialogs().coordinateStarts[0].first.deg, 35);
    EXPECT_EQ(Dialogs().coordinateStarts[0].first.min, 40);
    EXPECT_EQ(state->originLon, (DmsAngle{139, 46, 50, 0}));
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->found.targets[0]->Info(0), u"店05");  // SrchAfterJump 1: searched there
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

// Stands for a position update: each answer puts the origin at `to` and searches there, as the
// update cycle's position-ready does.
class WalkingUpdates : public PositionUpdates {
public:
    WalkingUpdates(MainWindow& window, AppState& state) : window_(window), state_(state) {}
    void UpdateNow(int) override {}
    void OnSoftKey() override {}
    void OnPositionReady(int) override {
        ++answers;
        state_.originLat = toLat;
        state_.originLon = toLon;
        window_.SearchAroundOrigin();
    }
    bool Busy() const override { return false; }
    void StopPeriodicUpdateFor(std::u16string_view) override {}
    DmsAngle toLat{35, 40, 0, 0};
    DmsAngle toLon{139, 46, 0, 0};
    int answers = 0;

private:
    MainWindow& window_;
    AppState& state_;
};

class WalkingListTest : public MainWindowTest {
protected:
    WalkingUpdates& Walk() {
        auto updates = std::make_unique<WalkingUpdates>(Window(), *state);
        WalkingUpdates& walk = *updates;
        Window().SetPositionUpdates(std::move(updates));
        return walk;
    }
    QTreeWidget* List() { return Window().Panes().List(); }
    int RowOf(const TargetRecord* t) {
        for (int i = 0; i < state->found.count; ++i) {
            if (state->found.targets[i] == t) {
                return i;
            }
        }
        return -1;
    }
};

TEST_F(WalkingListTest, SelectedTargetStaysSelectedAndInViewAfterAnUpdate) {
    FixAtTokyo();
    WalkingUpdates& walk = Walk();
    // The person scrolls to the last row and selects it; the next update finds the same places.
    const TargetRecord* chosen = state->found.targets[19];
    List()->setCurrentItem(List()->topLevelItem(19));
    List()->scrollToItem(List()->topLevelItem(19));
    walk.toLat = state->originLat;
    walk.toLon = state->originLon;
    Window().Dispatch(res::ID_POSITION_READY);
    ASSERT_EQ(walk.answers, 1);
    ASSERT_EQ(RowOf(chosen), 19);
    EXPECT_EQ(Window().Panes().SelectedRow(), 19);
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(19));
    QRect shown = List()->visualItemRect(List()->topLevelItem(19));
    EXPECT_GE(shown.top(), 0);  // in view (the row itself is wider than the pane)
    EXPECT_LE(shown.bottom(), List()->viewport()->height());
    // Walking towards it moves it up the list, still selected.
    const DmsAngle chosenLat = chosen->lat, chosenLon = chosen->lon;
    walk.toLat = {35, 40, chosenLat.sec >= 20 ? chosenLat.sec - 10 : chosenLat.sec + 10, 0};
    walk.toLon = chosen->lon;
    Window().Dispatch(res::ID_POSITION_READY);
    const int row = RowOf(chosen);
    ASSERT_GE(row, 0);
    ASSERT_LT(row, 19);
    EXPECT_EQ(Window().Panes().SelectedRow(), row);
    // Walking to the far corner of the shops leaves it behind, and nothing selected.
    walk.toLat = {35, 40, chosenLat.sec >= 20 ? 0 : 40, 0};
    walk.toLon = {139, 46, chosenLon.sec >= 25 ? 0 : 50, 0};
    Window().Dispatch(res::ID_POSITION_READY);
    ASSERT_EQ(RowOf(chosen), -1);
    EXPECT_EQ(Window().Panes().SelectedRow(), -1);
}

TEST_F(WalkingListTest, SeveralRowsMayBeSelectedAndTheFirstIsUsed) {
    FixAtTokyo();
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    List()->topLevelItem(7)->setSelected(true);
    List()->topLevelItem(3)->setSelected(true);
    Window().Dispatch(32780);  // 詳細表示
    EXPECT_EQ(details(), (std::vector<int>{3}));
    // Both stay selected through a refill.
    const TargetRecord* third = state->found.targets[3];
    const TargetRecord* seventh = state->found.targets[7];
    Window().SearchAroundOrigin();
    EXPECT_TRUE(List()->topLevelItem(RowOf(third))->isSelected());
    EXPECT_TRUE(List()->topLevelItem(RowOf(seventh))->isSelected());
}

// An update that arrives while the list's menu is open waits for its command: "詳細表示" opens
// the target the menu was opened on.
TEST_F(WalkingListTest, PopupCommandActsOnTheTargetItWasOpenedOn) {
    FixAtTokyo();
    WalkingUpdates& walk = Walk();
    const TargetRecord* chosen = state->found.targets[12];
    List()->setCurrentItem(List()->topLevelItem(12));
    const TargetRecord* opened = nullptr;
    Dialogs().onPopup = [&](int menuId) {
        ASSERT_EQ(menuId, res::IDR_LIST_POPUP);
        Window().Dispatch(res::ID_POSITION_READY);  // the periodic update's answer
        EXPECT_EQ(walk.answers, 0);
        Window().Dispatch(32780);
        ASSERT_EQ(details().size(), 1u);
        opened = state->found.targets[details()[0]];
    };
    emit List()->customContextMenuRequested(
        List()->visualItemRect(List()->topLevelItem(12)).center());
    EXPECT_EQ(opened, chosen);
    EXPECT_EQ(walk.answers, 1);  // handled once the menu had closed
    EXPECT_NE(state->found.targets[12], chosen);
}

TEST_F(WalkingListTest, AutoSizedColumnFitsItsCellsNotItsCaption) {
    FixAtTokyo();
    // A caption far wider than any shop's name.
    state->columns.columnCaption[2] = u"店名（正式な名称と支店名を含む）";
    List()->setColumnWidth(1, state->dpi.ScaleX(20));  // asks for the automatic size
    Window().Panes().Fill(2000);
    const int width = List()->columnWidth(1);
    EXPECT_LT(width, List()->header()->sectionSizeHint(1));
    EXPECT_GE(width, List()->fontMetrics().horizontalAdvance(QStringLiteral("店26")));
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

// Two fingers on the radar, 40 px apart and spread to 80: the picture grows (by what Qt's pinch
// reports, which counts from the fingers' first move), the first finger neither pans nor taps.
TEST_F(MainWindowTest, TwoFingersSpreadApartZoomIn) {
    FixAtTokyo();
    // The device stays registered with Qt until it is deleted.
    std::unique_ptr<QPointingDevice> device{QTest::createTouchDevice()};
    QPointingDevice* finger = device.get();
    QWidget* radar = Window().Radar();
    QTest::touchEvent(radar, finger).press(0, {80, 90}).press(1, {120, 90});
    QTest::touchEvent(radar, finger).move(0, {70, 90}).move(1, {130, 90});
    QTest::touchEvent(radar, finger).move(0, {60, 90}).move(1, {140, 90});
    QTest::touchEvent(radar, finger).release(0, {60, 90}).release(1, {140, 90});
    QTest::qWait(50);
    EXPECT_GT(state->scale, 1500);
    EXPECT_LE(state->scale, 2000);
    EXPECT_EQ(state->originX, Window().ViewCentrePoint().x);
    EXPECT_EQ(state->dragState, kDragIdle);
    EXPECT_TRUE(details().empty());
}

}  // namespace
}  // namespace zentorak::testing
