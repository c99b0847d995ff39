// The replayer's generated walk: steady steps, headings, and the end where the route ends; and
// the sentences it sends.
#include "nmea/walk.h"

#include <gtest/gtest.h>

#include <cmath>

#include "nmea/nmea_sentences.h"

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

// A fraction of a degree that rounds to a whole minute of 60 carries into the degrees; the
// expected fields were worked out by hand (35.9999999999 degrees is 35 degrees 59.999999994
// minutes, which rounds to 36 degrees 0 minutes).
TEST(NmeaSentences, MinutesRoundingUpToSixtyCarryIntoTheDegrees) {
    const std::string rmc = Rmc(35.9999999999, -139.9999999999, 1);
    EXPECT_NE(rmc.find(",3600.000000,N,14000.000000,W,"), std::string::npos) << rmc;
    EXPECT_EQ(rmc.find("60.000000"), std::string::npos) << rmc;
    const std::string gga = Gga(35.658055, 139.751388333, 1);
    EXPECT_NE(gga.find(",3539.483300,N,13945.083300,E,"), std::string::npos) << gga;
    EXPECT_NE(Rmc(-0.5, 0.25, 1).find(",0030.000000,S,00015.000000,E,"), std::string::npos);
}

}  // namespace
}  // namespace zentorak::nmea
