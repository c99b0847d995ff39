// The main window at handset screens and others: the radar and the panes where the layout puts
// them, the pane as wide as the window, five list rows where there is room, and the zoom strip's
// keys inside the window.
#include <QTest>

#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"

namespace zentorak::testing {
namespace {

class WindowLayout : public AppFixture {
protected:
    void SetUp() override {
        WriteSettings();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        Window().Dispatch(2001);  // a list to look at
    }
    // The window of a W x H handset screen (in layout units): the screen less its task bar.
    void ResizeToScreen(int w, int h) {
        const Dpi& d = state->dpi;
        Window().resize(d.ScaleX(w), d.ScaleY(h) - d.ScaleY(26));
    }
    static QRect Rect(const PixelRect& r) { return QRect(r.x, r.y, r.width, r.height); }
};

TEST_F(WindowLayout, PartsFollowTheLayoutAtEverySize) {
    const std::pair<int, int> screens[] = {{240, 320}, {320, 240},  {360, 720},
                                           {720, 360}, {1000, 740}, {300, 588}};
    for (auto [w, h] : screens) {
        ResizeToScreen(w, h);
        const Dpi& d = state->dpi;
        ASSERT_EQ(Window().Screen(), (ScreenSize{d.ScaleX(w), d.ScaleY(h)})) << w << "x" << h;
        const MainLayout& l = state->layout;
        EXPECT_EQ(l, LayoutFor(Window().Screen(), d, Window().Panes().FiveRowsHeight()));
        EXPECT_EQ(Window().Radar()->geometry(), Rect(l.radar)) << w << "x" << h;
        EXPECT_EQ(Window().Panes().List()->geometry(), Rect(l.pane)) << w << "x" << h;
        EXPECT_EQ(Window().Panes().Log()->geometry(), Rect(l.pane)) << w << "x" << h;
        // The radar and the pane fill the window's width, and the radar's bottom is inside it.
        EXPECT_EQ(std::max(l.radar.x + l.radar.width, l.pane.x + l.pane.width), Window().width());
        EXPECT_LE(l.areaHeight, Window().height() - d.ScaleY(26));
        EXPECT_EQ(Window().ViewCentrePoint(), (PixelPoint{l.areaWidth / 2, l.areaHeight / 2}));
    }
}

TEST_F(WindowLayout, TallWindowShowsAtLeastFiveRowsAndAWiderList) {
    ResizeToScreen(300, 588);
    QTreeWidget* list = Window().Panes().List();
    EXPECT_EQ(list->width(), Window().width());
    const int row = list->visualItemRect(list->topLevelItem(0)).height();
    ASSERT_GT(row, 0);
    EXPECT_GE(list->viewport()->height() / row, 5);
    // The radar grew with the window too.
    EXPECT_GT(Window().Radar()->height(), state->dpi.ScaleY(186));
}

// A search centres the origin in the radar as it is now, not where the handset's radar had it.
TEST_F(WindowLayout, SearchCentresTheOriginInTheGrownRadar) {
    ResizeToScreen(720, 360);
    Window().Dispatch(2002);
    EXPECT_EQ(state->originX, state->layout.areaWidth / 2);
    EXPECT_EQ(state->originY, state->layout.areaHeight / 2);
    EXPECT_GT(state->layout.areaWidth, state->dpi.ScaleX(240));
}

// Turning a phone lays the window out at once, and the picture keeps its place around the view
// centre rather than waiting for the next search.
TEST_F(WindowLayout, ResizeKeepsTheOriginWhereItWasAroundTheViewCentre) {
    ResizeToScreen(360, 720);
    state->originX += 30;
    state->originY -= 20;
    for (auto [w, h] : {std::pair{720, 360}, std::pair{240, 320}}) {
        ResizeToScreen(w, h);
        const PixelPoint centre = Window().ViewCentrePoint();
        EXPECT_EQ(state->originX - centre.x, 30) << w << "x" << h;
        EXPECT_EQ(state->originY - centre.y, -20) << w << "x" << h;
    }
}

// The selected row's marker is the one the radar highlights.
TEST_F(WindowLayout, SelectedRowsAreTheMarkedTargets) {
    QTreeWidget* list = Window().Panes().List();
    list->setCurrentItem(list->topLevelItem(2));
    EXPECT_EQ(state->markedTargets, std::vector<int>{2});
}

}  // namespace
}  // namespace zentorak::testing
