// A finger on a touch screen works as the pen does: on the radar a tap opens a label's details
// and a held press the radar menu; the result list scrolls with a drag and coasts, while a tap
// still selects a row. Real touch events through Qt's touch-to-mouse synthesis.
#include <QPointingDevice>
#include <QScrollBar>
#include <QScroller>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"

namespace zentorak::testing {
namespace {

class TouchTest : public AppFixture {
protected:
    void SetUp() override {
        WriteSettings({"OrgFixedMode:1"});
        ASSERT_TRUE(Start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        Dialogs().onPopup = [this](int) { ++popups; };
        Window().Dispatch(2001);  // favourite 東京: targets on the radar and in the list
        Window().Radar()->repaint();
        ASSERT_GT(state->found.count, 10);
    }
    void Tap(QWidget* widget, QPoint p) {
        QTest::touchEvent(widget, finger).press(0, p, widget);
        QTest::qWait(30);
        QTest::touchEvent(widget, finger).release(0, p, widget);
        QTest::qWait(30);
    }

    // The device stays registered with Qt until it is deleted.
    std::unique_ptr<QPointingDevice> device{QTest::createTouchDevice()};
    QPointingDevice* finger = device.get();
    int popups = 0;
};

TEST_F(TouchTest, TapOnTheRadarOpensTheLabelsDetails) {
    const PixelPoint m = state->markerPos[0];
    Tap(Window().Radar(), QPoint(m.x + 3, m.y + 3));
    EXPECT_EQ(Dialogs().details, std::vector<int>{0});
    EXPECT_EQ(popups, 0);
    EXPECT_EQ(state->dragState, kDragIdle);
}

TEST_F(TouchTest, HeldFingerOpensTheRadarMenu) {
    RadarWidget* radar = Window().Radar();
    const QPoint p(40, 40);
    QTest::touchEvent(radar, finger).press(0, p, radar);
    QTest::qWait(300);
    EXPECT_EQ(popups, 0);  // not yet
    QTRY_COMPARE_WITH_TIMEOUT(popups, 1, 3000);
    QTest::touchEvent(radar, finger).release(0, p, radar);
    EXPECT_TRUE(Dialogs().details.empty());
}

TEST_F(TouchTest, FingerDragOnTheRadarPans) {
    RadarWidget* radar = Window().Radar();
    const int x = state->originX;
    QTest::touchEvent(radar, finger).press(0, QPoint(50, 50), radar);
    for (int step = 1; step <= 4; ++step) {
        QTest::qWait(20);
        QTest::touchEvent(radar, finger).move(0, QPoint(50 + 10 * step, 50), radar);
    }
    QTest::touchEvent(radar, finger).release(0, QPoint(90, 50), radar);
    // The pan adds up from the press point to the release.
    EXPECT_EQ(state->originX, x + 40);
    EXPECT_EQ(popups, 0);
}

TEST_F(TouchTest, ResultListScrollsWithAFingerAndATapSelects) {
    QTreeWidget* list = Window().Panes().List();
    QWidget* rows = list->viewport();
    QScrollBar* bar = list->verticalScrollBar();
    ASSERT_TRUE(list->isVisible());
    ASSERT_GT(bar->maximum(), 0) << "the list must overflow its pane";
    const int x = rows->width() / 2;
    const int top = 5;
    const int bottom = rows->height() - 5;
    // A quick stroke, 10 pixels every 10 ms.
    auto stroke = [&](int from, int to) {
        const int step = from < to ? 10 : -10;
        QTest::touchEvent(list, finger).press(0, QPoint(x, from), rows);
        for (int y = from + step; step > 0 ? y < to : y > to; y += step) {
            QTest::qWait(10);
            QTest::touchEvent(list, finger).move(0, QPoint(x, y), rows);
        }
        QTest::touchEvent(list, finger).release(0, QPoint(x, to), rows);
    };

    // Up the pane: the list follows, coasts on after the finger lifts, and none of the rows
    // the finger passed over is selected (the first stays selected from the search).
    stroke(bottom, top);
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 2000);
    const int released = bar->value();
    QTRY_COMPARE_WITH_TIMEOUT(QScroller::scroller(rows)->state(), QScroller::Inactive, 5000);
    EXPECT_GT(bar->value(), released) << "no coasting";
    EXPECT_EQ(Window().Panes().SelectedRow(), 0);
    EXPECT_EQ(list->selectedItems().size(), 1);

    // A tap on the list at rest selects the row under the finger, and a stroke back down
    // leaves it selected.
    QTreeWidgetItem* tapped = list->itemAt(QPoint(x, rows->height() / 2));
    ASSERT_NE(tapped, nullptr);
    Tap(rows, QPoint(x, rows->height() / 2));
    EXPECT_EQ(Window().Panes().SelectedRow(), list->indexOfTopLevelItem(tapped));
    const int before = bar->value();
    stroke(top, bottom);
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() < before, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(QScroller::scroller(rows)->state(), QScroller::Inactive, 5000);
    EXPECT_EQ(Window().Panes().SelectedRow(), list->indexOfTopLevelItem(tapped));
    EXPECT_EQ(popups, 0);
}

TEST_F(TouchTest, HeldFingerOnTheListOpensTheListMenu) {
    QWidget* rows = Window().Panes().List()->viewport();
    const QPoint p(rows->width() / 2, 5);
    QTest::touchEvent(Window().Panes().List(), finger).press(0, p, rows);
    QTRY_COMPARE_WITH_TIMEOUT(popups, 1, 3000);
    QTest::touchEvent(Window().Panes().List(), finger).release(0, p, rows);
    EXPECT_EQ(Window().Panes().SelectedRow(), 0);
}

}  // namespace
}  // namespace zentorak::testing
