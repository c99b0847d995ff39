#include "core/itemlist/item_list_motion.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

// Plays the frames as the coasting thread does; returns the number of frames run.
int PlayFrames(const CoastPlan& plan, int& travelled, int& first) {
    int frame = 1;
    for (;; ++frame) {
        travelled = CoastDistance(plan, frame);
        if (frame == 1) {
            first = travelled;
        }
        if (IsLastCoastFrame(plan, frame)) {
            return frame;
        }
    }
}

TEST(CoastPlan, FlickOf200PixelsIn100Ms) {
    CoastPlan plan = PlanCoast(200, 100);
    EXPECT_EQ(plan.v, 2.0f);
    EXPECT_EQ(plan.d, -0.002f);
    EXPECT_EQ(plan.v / plan.d, -999.99994f);  // single precision, truncates to -999
    EXPECT_EQ(plan.frames, 49);
    int travelled = 0;
    int first = 0;
    EXPECT_EQ(PlayFrames(plan, travelled, first), 50);
    EXPECT_EQ(first, 39);  // (2.0 - 0.02) * 20 = 39.6
    EXPECT_EQ(travelled, 999);
}

TEST(CoastPlan, UpwardFlickMirrors) {
    CoastPlan plan = PlanCoast(-200, 100);
    EXPECT_EQ(plan.d, 0.002f);
    EXPECT_EQ(plan.frames, 49);
    int travelled = 0;
    int first = 0;
    EXPECT_EQ(PlayFrames(plan, travelled, first), 50);
    EXPECT_EQ(first, -39);
    EXPECT_EQ(travelled, -999);
}

TEST(CoastPlan, FastFlickStopsAtFrame201) {
    CoastPlan plan = PlanCoast(3000, 100);  // 30 px/ms: far beyond the frame limit
    EXPECT_EQ(plan.frames, 749);            // 30 / -0.002f is -14999.999 in single precision
    int travelled = 0;
    int first = 0;
    EXPECT_EQ(PlayFrames(plan, travelled, first), 201);
}

TEST(CoastPlan, ReleaseWithinOneTickDoesNotDivideByZero) {
    CoastPlan plan = PlanCoast(5, 0);
    EXPECT_EQ(plan.v, 5.0f);
    EXPECT_EQ(plan.frames, 125);
    CoastPlan still = PlanCoast(0, 0);
    EXPECT_EQ(still.v, 0.0f);
    EXPECT_EQ(still.frames, 0);
}

}  // namespace
}  // namespace zentorak
