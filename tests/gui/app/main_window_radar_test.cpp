// The main window's radar: taps, pans, zooms (strip, keys, wheel, pinch, two fingers), the
// origin mode and the radar's menu.
#include <QAction>
#include <QApplication>
#include <QGestureEvent>
#include <QMenu>
#include <QPinchGesture>
#include <QTest>
#include <QWheelEvent>

#include "core/resources/resource_ids.h"
#include "gui/app/main_window_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/resources/menu_builder.h"

namespace zentorak::testing {
namespace {

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

TEST_F(MainWindowTest, ZoomStripDragCountsFromItsStartAndClamps) {
    FixAtTokyo();
    int strip = Window().ViewCentrePoint().x * 2 - 5;
    ASSERT_EQ(state->scale, 1000);
    Window().PenDown(QPoint(strip, 150));
    Window().PenMove(QPoint(strip, 144));  // leaves the tap zone: zoom, nothing changes yet
    EXPECT_EQ(state->scale, 1000);
    Window().PenMove(QPoint(strip, 134));  // 10 px up: x 2^0.5
    EXPECT_EQ(state->scale, 1414);
    Window().PenUp(QPoint(strip, 124));  // 20 px up in all: doubled, as one move would
    EXPECT_EQ(state->scale, 2000);
    // Down by 19 px at a time, 180 px in all: held at the least scale.
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

// One quick drag: the move past the threshold, then 20 px further down in one move, which halves
// the scale. Counted from the press it would be 25 px and leave less.
TEST_F(MainWindowTest, QuickDragDownIsOneMeasuredStep) {
    FixAtTokyo();
    int strip = Window().ViewCentrePoint().x * 2 - 5;
    state->scale = 4000;
    Window().PenDown(QPoint(strip, 100));
    Window().PenMove(QPoint(strip, 105));
    Window().PenMove(QPoint(strip, 125));  // 20 px down: half
    Window().PenUp(QPoint(strip, 125));
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
