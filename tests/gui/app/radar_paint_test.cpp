#include <QImage>
#include <QTest>

#include "gui/app/app_fixture.h"
#include "gui/app/radar_widget.h"

namespace zentorak::testing {
namespace {

class BusyUpdates : public PositionUpdates {
public:
    void UpdateNow(int) override {}
    void OnSoftKey() override {}
    void OnPositionReady(int) override {}
    bool Busy() const override { return true; }
    void StopPeriodicUpdateFor(std::u16string_view) override {}
};

class RadarPaint : public AppFixture {
protected:
    void SetUp() override {
        WriteSettings({"OrgFixedMode:1"});
        ASSERT_TRUE(Start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    }
    QImage Picture() { return Window().Radar()->grab().toImage(); }
    QColor At(const QImage& image, int x, int y) {
        qreal ratio = image.devicePixelRatio();
        return image.pixelColor(int(x * ratio), int(y * ratio));
    }
};

TEST_F(RadarPaint, WithoutOriginOnlyFieldStripAndCrossHair) {
    QImage image = Picture();
    int w = Window().Radar()->width(), h = Window().Radar()->height();
    const Dpi& d = state->dpi;
    EXPECT_EQ(At(image, 3, 3), QColor(Qt::white));
    EXPECT_EQ(At(image, w - d.ScaleX(3), h / 3), QColor(128, 128, 255));  // zoom strip
    EXPECT_EQ(At(image, 10, h / 2), QColor(160, 160, 224));               // cross-hair
    EXPECT_EQ(At(image, w / 2, 10), QColor(160, 160, 224));
    // Nothing of the grid or the coordinates.
    EXPECT_EQ(At(image, 2, h / 2 - d.ScaleY(2)), QColor(Qt::white));
    EXPECT_EQ(state->gridSpacing, 0);
}

TEST_F(RadarPaint, AcquisitionNoticeWhileBusy) {
    Window().SetPositionUpdates(std::make_unique<BusyUpdates>());
    QImage image = Picture();
    const Dpi& d = state->dpi;
    int h = Window().Radar()->height();
    EXPECT_EQ(At(image, d.ScaleX(58), h - d.ScaleY(3)), QColor(0, 224, 224));
}

TEST_F(RadarPaint, FixedModeAxesGridAndLabels) {
    Window().Dispatch(2001);
    QImage image = Picture();
    const Dpi& d = state->dpi;
    int w = Window().Radar()->width(), h = Window().Radar()->height();
    // Blue axes through the origin, grey grid lines one spacing away.
    EXPECT_EQ(At(image, state->originX, h / 2 + d.ScaleY(20)), QColor(0, 0, 255));
    EXPECT_EQ(At(image, state->originX + state->gridSpacing, 5 + d.ScaleY(14)),
              QColor(160, 160, 160));
    // The grid-step label's cell is green.
    EXPECT_EQ(At(image, w - d.ScaleX(50), h - d.ScaleY(11)), QColor(96, 192, 96));
    // The nearest target's label sits on the origin; its row is selected after the search, so
    // it is drawn highlighted; the second is in the target colour.
    PixelPoint m = state->markerPos[0];
    EXPECT_EQ(At(image, m.x, m.y + 1), QColor(224, 96, 0));
    m = state->markerPos[1];
    EXPECT_EQ(At(image, m.x, m.y + 1), QColor(100, 100, 224));
}

// The nearest place sits on the view centre's latitude label: the place is drawn over it.
TEST_F(RadarPaint, PlacesAreDrawnOverTheCoordinateLabels) {
    Window().Dispatch(2001);  // the nearest shop stands on the origin
    const Dpi& d = state->dpi;
    int h = state->layout.areaHeight;
    state->originX = d.ScaleX(15);
    state->originY = h / 2;
    QImage image = Picture();
    PixelPoint m = state->markerPos[0];
    ASSERT_LT(m.x, d.ScaleX(30));  // inside the label "35/40/.." at the left edge
    EXPECT_EQ(At(image, m.x + 1, m.y + 1), QColor(224, 96, 0));  // its row is the selected one
}

// Only the strip's own colours inside the zoom strip: no grid line, axis, label or place.
TEST_F(RadarPaint, NothingOfThePictureReachesIntoTheZoomStrip) {
    Window().Dispatch(2001);
    const Dpi& d = state->dpi;
    int w = state->layout.areaWidth, h = Window().Radar()->height();
    state->originX = w - d.ScaleX(7);  // the nearest place and the origin's axis under the strip
    QImage image = Picture();
    ASSERT_GE(state->markerPos[0].x, w - d.ScaleX(14));
    const QList<QColor> strip{QColor(128, 128, 255), QColor(255, 128, 128), QColor(Qt::white)};
    int foreign = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = w - d.ScaleX(14); x < w; ++x) {
            QColor c = At(image, x, y);
            // Text edges blend white into the key colour; anything else is the picture's.
            bool keyText = c.red() == 255 && c.green() >= 128 && c.blue() >= 128;
            foreign += !strip.contains(c) && !keyText;
        }
    }
    EXPECT_EQ(foreign, 0);
}

// The fixed origin's latitude is placed by its measured width: all of it left of the strip.
TEST_F(RadarPaint, OriginLatitudeEndsLeftOfTheStrip) {
    Window().Dispatch(2001);
    const Dpi& d = state->dpi;
    const int stripLeft = state->layout.areaWidth - d.ScaleX(14);
    state->originY = d.ScaleY(60);
    QFont font = Window().Radar()->font();
    font.setPixelSize(d.ScaleY(12));
    // In the fonts here the text is wider than the 33 units the handset left it.
    ASSERT_GT(QFontMetrics(font).horizontalAdvance(QStringLiteral("35/40/40")), d.ScaleX(33));
    QImage image = Picture();
    const QColor label(96, 192, 96);
    const int y = state->originY - d.ScaleY(5) + d.ScaleY(2);
    EXPECT_EQ(At(image, stripLeft - d.ScaleX(2), y), label);  // it ends at the strip
    EXPECT_NE(At(image, stripLeft + d.ScaleX(1), y), label);  // and not under it
}

// In landscape the strip runs down to the soft-key bar, past the radar area's own height.
TEST_F(RadarPaint, LandscapeStripRunsTheFullHeight) {
    const Dpi& d = state->dpi;
    Window().resize(d.ScaleX(320), d.ScaleY(240 - 26));
    ASSERT_FALSE(Window().Screen().Portrait());
    QImage image = Picture();
    int w = Window().Radar()->width();
    EXPECT_EQ(Window().Radar()->height(), d.ScaleY(240 - 52));
    EXPECT_EQ(state->layout.areaHeight, d.ScaleY(186));
    EXPECT_EQ(At(image, w - d.ScaleX(3), d.ScaleY(240 - 52) - 1), QColor(128, 128, 255));
}

}  // namespace
}  // namespace zentorak::testing
