#include <QImage>
#include <QTest>

#include "gui/app/radar_widget.h"
#include "gui/app/app_fixture.h"

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
    // The nearest target's label sits on the origin, in the target colour.
    PixelPoint m = state->markerPos[0];
    EXPECT_EQ(At(image, m.x, m.y + 1), QColor(100, 100, 224));
}

}  // namespace
}  // namespace zentorak::testing
