#include "core/app/radar_geometry.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

const Dpi k96{96, 96};
const Dpi k192{192, 192};

RadarView ViewAt35() {
    return {{35, 0, 0, 0}, {139, 0, 0, 0}, 120, 93, 1000};
}

TEST(GridStep, DefaultScaleAt35DegreesIsFiveKilometres) {
    // 100 px at 1000 px/degree cover about 11120 m at 35 N: power 10000, u = 1, so half of it.
    GridStep step = ComputeGridStep(35.0, 1000, k96);
    EXPECT_EQ(step.metres, 5000);
    EXPECT_EQ(step.spacing, 44);
    EXPECT_EQ(GridStepLabel(step.metres), "5km");
}

TEST(GridStep, LabelForms) {
    EXPECT_EQ(GridStepLabel(500), "500m");
    EXPECT_EQ(GridStepLabel(1), "1m");
    EXPECT_EQ(GridStepLabel(20000), "20km");
    EXPECT_EQ(GridStepLabel(2000000), "2Mm");
}

TEST(GridStep, StepsAreOneTwoOrFiveAndSpacingWithinBounds) {
    for (int scale = 10; scale < kMaxScale; scale = scale * 3 / 2 + 1) {
        GridStep step = ComputeGridStep(35.0, scale, k96);
        int mantissa = step.metres;
        while (mantissa % 10 == 0) {
            mantissa /= 10;
        }
        EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << scale;
        EXPECT_GT(step.spacing, 0) << scale;
        EXPECT_LE(step.spacing, 100) << scale;
    }
}

TEST(GridStep, LargestScaleKeepsOneMetre) {
    // The plain rule would give 0 m and a spacing of 0 here.
    GridStep step = ComputeGridStep(35.0, kMaxScale, k96);
    EXPECT_EQ(step.metres, 1);
    EXPECT_GT(step.spacing, 50);
}

TEST(PointConversion, RoundTripsThroughThePicture) {
    RadarView view = ViewAt35();
    view.scale = 1024;  // 1/16 degree = 64 px, exact in binary
    DmsAngle lat, lon;
    PointToPosition(view, {184, 29}, lat, lon);
    EXPECT_EQ(lat, (DmsAngle{35, 3, 45, 0}));
    EXPECT_EQ(lon, (DmsAngle{139, 3, 45, 0}));
    EXPECT_EQ(PositionToPoint(view, lat, lon), (PixelPoint{184, 29}));
    EXPECT_EQ(PositionToPoint(view, view.originLat, view.originLon), (PixelPoint{120, 93}));
}

TEST(MarkerPosition, LabelCornerSitsUpAndLeftOfThePoint) {
    RadarView view = ViewAt35();
    EXPECT_EQ(MarkerPosition(view, {35, 0, 0, 0}, {139, 0, 0, 0}, k96), (PixelPoint{115, 88}));
    EXPECT_EQ(MarkerPosition(view, {35, 0, 0, 0}, {139, 0, 0, 0}, k192), (PixelPoint{110, 83}));
}

TEST(HitTest, LowerNumberWinsWhereLabelsOverlap) {
    std::vector<PixelPoint> markers{{100, 100}, {95, 95}, {300, 300}};
    EXPECT_EQ(HitTest(markers, 3, {100, 100}, k96), 0);
    EXPECT_EQ(HitTest(markers, 3, {96, 96}, k96), 1);
    EXPECT_EQ(HitTest(markers, 3, {114, 114}, k96), 0);
    EXPECT_EQ(HitTest(markers, 3, {115, 100}, k96), -1);
    // Only the valid entries count, and an empty list hits nothing.
    EXPECT_EQ(HitTest(markers, 2, {305, 305}, k96), -1);
    EXPECT_EQ(HitTest(markers, 0, {100, 100}, k96), -1);
}

TEST(Zoom, StepsCompoundAroundTheCentre) {
    RadarView view = ViewAt35();
    view.originX = 150;  // 30 px right of the centre
    PixelPoint centre{120, 93};
    ApplyZoomStep(view, -20, centre, k96);
    EXPECT_EQ(view.scale, 2000);
    EXPECT_EQ(view.originX, 180);
    view.scale = 1000;
    ApplyZoomStep(view, -10, centre, k96);
    ApplyZoomStep(view, -10, centre, k96);
    EXPECT_EQ(view.scale, 2250);
}

TEST(Zoom, ClampsAtBothEnds) {
    RadarView view = ViewAt35();
    view.scale = 20;
    ApplyZoomStep(view, 19, {120, 93}, k96);
    EXPECT_EQ(view.scale, kMinScale);
    view.scale = 5000000;
    ApplyZoomStep(view, -20, {120, 93}, k96);
    EXPECT_EQ(view.scale, kMaxScale);
}

TEST(SnapToGrid, StaysWithinOneSpacingOfTheCentre) {
    PixelPoint centre{120, 93};
    EXPECT_EQ(SnapToGrid({250, 0}, centre, 44), (PixelPoint{120 + 130 % 44, 93 - 93 % 44}));
    EXPECT_EQ(SnapToGrid({-30, 93}, centre, 44), (PixelPoint{120 - 150 % 44, 93}));
    // No grid painted yet: the point stays.
    EXPECT_EQ(SnapToGrid({250, 0}, centre, 0), (PixelPoint{250, 0}));
}

TEST(Layout, PanesBelowInPortraitBesideInLandscape) {
    EXPECT_EQ(PaneRect({240, 320}, k96), (PixelRect{0, 186, 240, 82}));
    EXPECT_EQ(PaneRect({320, 240}, k96), (PixelRect{240, 0, 80, 188}));
    EXPECT_EQ(RadarAreaWidth({320, 240}, k96), 240);
    EXPECT_EQ(RadarAreaWidth({300, 400}, k96), 300);
    EXPECT_EQ(ViewCentre({240, 320}, k192), (PixelPoint{120, 186}));
    EXPECT_TRUE(InZoomStrip(226, {240, 320}, k96));
    EXPECT_FALSE(InZoomStrip(225, {240, 320}, k96));
}

TEST(LayoutScale, RoundsHalfUp) {
    EXPECT_EQ((Dpi{96, 96}.ScaleX(25)), 25);
    EXPECT_EQ((Dpi{192, 192}.ScaleX(25)), 50);
    EXPECT_EQ((Dpi{131, 131}.ScaleX(1)), 1);
    EXPECT_EQ((Dpi{131, 131}.ScaleY(186)), 254);
}

}  // namespace
}  // namespace zentorak
