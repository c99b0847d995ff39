#include "core/app/radar_geometry.h"

#include <gtest/gtest.h>

#include <vector>

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

// A drag zooms by the same amount whether it comes in one pointer move or in many: 20 units up
// double the scale, 20 down halve it, and the origin's distance from the centre goes with it.
TEST(Zoom, DragStepsCompoundAroundTheCentre) {
    PixelPoint centre{120, 93};
    struct Case {
        std::vector<int> moves;
        int scale, originX;
    } cases[] = {
        {{-20}, 2000, 180},
        {{-10, -10}, 2000, 180},
        {{20}, 500, 135},
        {{40}, 250, 128},
        {{10, 10, 10, 10}, 250, 128},
        {{-40, 40}, 1000, 150},  // up and back down again
        {{90}, 44, 122},         // a quick drag down stays short of the widest view
    };
    for (const Case& c : cases) {
        RadarView view = ViewAt35();
        view.originX = 150;  // 30 px right of the centre
        for (int dy : c.moves) {
            ApplyZoomStep(view, dy, centre, k96);
        }
        // Truncating the scale at every move loses at most a unit each time.
        EXPECT_NEAR(view.scale, c.scale, c.moves.size() - 1) << c.moves.size() << " moves";
        EXPECT_NEAR(view.originX, c.originX, c.moves.size()) << c.moves.size() << " moves";
    }
    // The keys' steps: the factor of 20 units up, and back.
    RadarView view = ViewAt35();
    view.originX = 150;
    ApplyZoomFactor(view, kZoomInFactor, centre);
    EXPECT_EQ(view.scale, 2000);
    EXPECT_EQ(view.originX, 180);
    ApplyZoomFactor(view, kZoomOutFactor, centre);
    EXPECT_EQ(view.scale, 1000);
    EXPECT_EQ(view.originX, 150);
}

TEST(Zoom, ClampsAtBothEnds) {
    RadarView view = ViewAt35();
    view.scale = 20;
    ApplyZoomStep(view, 25, {120, 93}, k96);
    EXPECT_EQ(view.scale, kMinScale);
    view.scale = 5000000;
    ApplyZoomStep(view, -20, {120, 93}, k96);
    EXPECT_EQ(view.scale, kMaxScale);
}

// Where the scale stops at its least, the view centre stays on the same ground: the origin does
// not swing across the centre.
TEST(Zoom, ClampedStepKeepsTheCentreOnTheGround) {
    RadarView view = ViewAt35();
    view.scale = 15;
    view.originX = 150;
    view.originY = 63;
    PixelPoint centre{120, 93};
    DmsAngle latBefore, lonBefore, lat, lon;
    PointToPosition(view, centre, latBefore, lonBefore);
    ApplyZoomStep(view, 50, centre, k96);
    EXPECT_EQ(view.scale, kMinScale);
    EXPECT_GT(view.originX, centre.x);
    EXPECT_LT(view.originY, centre.y);
    PointToPosition(view, centre, lat, lon);
    EXPECT_NEAR(DmsToDegrees(lon), DmsToDegrees(lonBefore), 1.0 / kMinScale);
    EXPECT_NEAR(DmsToDegrees(lat), DmsToDegrees(latBefore), 1.0 / kMinScale);
}

TEST(SnapToGrid, StaysWithinOneSpacingOfTheCentre) {
    PixelPoint centre{120, 93};
    EXPECT_EQ(SnapToGrid({250, 0}, centre, 44), (PixelPoint{120 + 130 % 44, 93 - 93 % 44}));
    EXPECT_EQ(SnapToGrid({-30, 93}, centre, 44), (PixelPoint{120 - 150 % 44, 93}));
    // No grid painted yet: the point stays.
    EXPECT_EQ(SnapToGrid({250, 0}, centre, 0), (PixelPoint{250, 0}));
}

// The handset's own screens keep its layout to the pixel, at any resolution.
TEST(Layout, HandsetScreensAreTheHandsetsLayout) {
    const int fiveRows = 114;  // header and five rows of a 12-pixel font
    MainLayout portrait = LayoutFor({240, 320}, k96, fiveRows);
    EXPECT_EQ(portrait.areaWidth, 240);
    EXPECT_EQ(portrait.areaHeight, 186);
    EXPECT_EQ(portrait.radar, (PixelRect{0, 0, 240, 186}));
    EXPECT_EQ(portrait.pane, (PixelRect{0, 186, 240, 82}));
    MainLayout landscape = LayoutFor({320, 240}, k96, fiveRows);
    EXPECT_EQ(landscape.areaWidth, 240);
    EXPECT_EQ(landscape.areaHeight, 186);
    // The zoom strip runs down to the soft-key bar, past the radar area's 186.
    EXPECT_EQ(landscape.radar, (PixelRect{0, 0, 240, 188}));
    EXPECT_EQ(landscape.pane, (PixelRect{240, 0, 80, 188}));
    MainLayout doubled = LayoutFor({480, 640}, k192, 2 * fiveRows);
    EXPECT_EQ(doubled.radar, (PixelRect{0, 0, 480, 372}));
    EXPECT_EQ(doubled.pane, (PixelRect{0, 372, 480, 164}));
    EXPECT_EQ(LayoutFor({640, 480}, k192).pane, (PixelRect{480, 0, 160, 376}));
    EXPECT_EQ(ViewCentre(doubled), (PixelPoint{240, 186}));
    EXPECT_TRUE(InZoomStrip(226, portrait, k96));
    EXPECT_FALSE(InZoomStrip(225, portrait, k96));
    EXPECT_EQ(ZoomKeyAt(10, portrait), 1);
    EXPECT_EQ(ZoomKeyAt(180, portrait), -1);
}

struct LayoutRow {
    const char* name;
    ScreenSize screen;
    int areaWidth, areaHeight;  // what a person gets, worked out by hand from the rule
};

// Other screens: the radar and the pane tile the window's content exactly, the radar area is
// never cut off by the window, and the pane shows five rows wherever the content has room.
TEST(Layout, OtherScreensGrowAndShrinkBothParts) {
    const int fiveRows = 114;
    const LayoutRow rows[] = {
        // 400 units more: 32 to the pane for its five rows, two thirds of the other 368.
        {"tall 360x720", {360, 720}, 360, 186 + 368 * 2 / 3},
        {"phone 300x588", {300, 588}, 300, 186 + 236 * 2 / 3},
        {"a little taller 240x340", {240, 340}, 240, 186},  // 20 more, all for the pane
        {"wide 720x360", {720, 360}, 240 + 200, 308 - 2},
        {"desktop 1000x740", {1000, 740}, 240 + 340, 688 - 2},
        {"short 320x180", {320, 180}, 240, 128},             // no "--" lost below the window
        {"narrow landscape 240x210", {240, 210}, 160, 158},  // a third stays for the list
        {"narrow portrait 150x294", {150, 294}, 150, 186},
        {"too small 100x60", {100, 60}, 67, 8},
    };
    for (const LayoutRow& row : rows) {
        MainLayout l = LayoutFor(row.screen, k96, fiveRows);
        const int content = row.screen.height - 52;
        EXPECT_EQ(l.areaWidth, row.areaWidth) << row.name;
        EXPECT_EQ(l.areaHeight, row.areaHeight) << row.name;
        EXPECT_LE(l.areaHeight, l.radar.height) << row.name;
        EXPECT_EQ(l.radar.width, l.areaWidth) << row.name;
        if (row.screen.Portrait()) {
            EXPECT_EQ(l.pane,
                      (PixelRect{0, l.areaHeight, row.screen.width, content - l.areaHeight}))
                << row.name;
            if (content >= 186 + fiveRows) {
                EXPECT_GE(l.pane.height, fiveRows) << row.name;
            }
        } else {
            EXPECT_EQ(l.radar.height, content) << row.name;
            EXPECT_EQ(l.pane, (PixelRect{l.areaWidth, 0, row.screen.width - l.areaWidth, content}))
                << row.name;
            EXPECT_GE(l.pane.width, std::min(80, row.screen.width / 3)) << row.name;
        }
    }
}

// The texts' widths in the fonts here: "35/40/40" 56, "139/46/13" 63, "500km" 35, one line 15.
const RadarTextWidths kWidths{56, 63, 35, 15};

TEST(LabelPlaces, HandsetPlacesWhereTheTextsFit) {
    MainLayout l = LayoutFor({240, 320}, k96);
    RadarTextWidths narrow{30, 50, 20, 12};
    RadarLabelPlaces p = PlaceRadarLabels(l, k96, narrow);
    EXPECT_EQ(p.originLatX, 240 - 47);
    EXPECT_EQ(p.step, (PixelPoint{240 - 50, 186 - 12}));
    EXPECT_EQ(p.centreLon, (PixelPoint{120 - 30, 186 - 12}));
}

TEST(LabelPlaces, WideTextsEndBeforeTheStripAndEachOther) {
    struct Row {
        const char* name;
        ScreenSize screen;
    };
    const Row rows[] = {{"handset", {240, 320}},  {"landscape", {320, 240}},
                        {"desktop", {1000, 740}}, {"phone", {300, 588}},
                        {"narrow", {150, 294}},   {"very narrow", {100, 294}}};
    for (const Row& row : rows) {
        MainLayout l = LayoutFor(row.screen, k96);
        const int strip = ZoomStripLeft(l, k96);
        RadarLabelPlaces p = PlaceRadarLabels(l, k96, kWidths);
        EXPECT_LT(p.originLatX + kWidths.originLat, strip) << row.name;
        EXPECT_LT(p.step.x + kWidths.step, strip) << row.name;
        EXPECT_GE(p.centreLon.x, 0) << row.name;
        // A whole line above the bottom edge; the step beside or above the longitude.
        EXPECT_LE(p.centreLon.y + kWidths.lineHeight, l.areaHeight) << row.name;
        bool beside = p.centreLon.x + kWidths.centreLon + 4 <= p.step.x;  // white between
        bool above = p.step.y + kWidths.lineHeight <= p.centreLon.y;
        EXPECT_TRUE(beside || above) << row.name;
    }
    // At the handset the step's place is the handset's, the longitude's too.
    RadarLabelPlaces p = PlaceRadarLabels(LayoutFor({240, 320}, k96), k96, kWidths);
    EXPECT_EQ(p.step.x, 240 - 50);
    EXPECT_EQ(p.centreLon.x, 120 - 30);
    EXPECT_EQ(p.originLatX, 240 - 14 - 56 - 1);
}

TEST(LabelPosition, TheOriginsOwnAngleAndRoundedElsewhere) {
    RadarView view{{35, 40, 40, 0}, {139, 46, 2, 0}, 120, 93, 3600};  // a second a pixel
    DmsAngle lat, lon;
    LabelPositionAt(view, {120, 93}, lat, lon);
    EXPECT_EQ(lat, view.originLat);
    EXPECT_EQ(lon, view.originLon);
    // One pixel west and south: one second less each, not one second and a millisecond.
    view.originLon = {139, 46, 3, 0};
    view.originLat = {35, 40, 41, 0};
    LabelPositionAt(view, {119, 94}, lat, lon);
    EXPECT_EQ(lat, (DmsAngle{35, 40, 40, 0}));
    EXPECT_EQ(lon, (DmsAngle{139, 46, 2, 0}));
    view.originLon = {139, 46, 1, 0};
    LabelPositionAt(view, {121, 93}, lat, lon);
    EXPECT_EQ(lon, (DmsAngle{139, 46, 2, 0}));
    EXPECT_EQ(lat, view.originLat);
}

TEST(LayoutScale, RoundsHalfUp) {
    EXPECT_EQ((Dpi{96, 96}.ScaleX(25)), 25);
    EXPECT_EQ((Dpi{192, 192}.ScaleX(25)), 50);
    EXPECT_EQ((Dpi{131, 131}.ScaleX(1)), 1);
    EXPECT_EQ((Dpi{131, 131}.ScaleY(186)), 254);
}

}  // namespace
}  // namespace zentorak
