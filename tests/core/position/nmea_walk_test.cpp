// The replayer's generated walk: steady steps, headings, and the end where the route ends.
#include "nmea/walk.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zentorak::nmea {
namespace {

double Metres(const WalkPoint& a, const WalkPoint& b) {
    const double north = (b.lat - a.lat) * 111320.0;
    const double east = (b.lon - a.lon) * 111320.0 * std::cos(a.lat * 3.14159265358979 / 180);
    return std::hypot(north, east);
}

TEST(NmeaWalk, StepsAreTheSpeedTimesTheIntervalAndTheWalkEndsAtTheLastPoint) {
    const std::vector<WalkPoint> route = TokyoWaypoints();
    const std::vector<WalkPoint> walk = SampleWalk(route, 1.5, 2.0);
    ASSERT_GT(walk.size(), 100u);
    EXPECT_DOUBLE_EQ(walk.front().lat, route.front().lat);
    EXPECT_DOUBLE_EQ(walk.back().lat, route.back().lat);
    EXPECT_DOUBLE_EQ(walk.back().lon, route.back().lon);
    for (size_t i = 1; i + 1 < walk.size(); ++i) {
        // Never farther than one step (give or take the flat-earth rounding); shorter only
        // where a corner is cut.
        EXPECT_LE(Metres(walk[i - 1], walk[i]), 3.0 * 1.001) << i;
    }
}

TEST(NmeaWalk, TrackFollowsTheLeg) {
    const std::vector<WalkPoint> north = SampleWalk({{35, 139, 0, 0}, {35.01, 139, 0, 0}}, 1, 1);
    EXPECT_NEAR(north.front().track, 0.0, 1e-9);
    const std::vector<WalkPoint> west = SampleWalk({{35, 139, 0, 0}, {35, 138.99, 0, 0}}, 1, 1);
    EXPECT_NEAR(west.front().track, 270.0, 1e-9);
    EXPECT_EQ(west.back().speedMps, 0.0);
}

}  // namespace
}  // namespace zentorak::nmea
