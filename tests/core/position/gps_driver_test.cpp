#include "core/position/gps_driver.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

// Modes as gpsd numbers them (0 unknown, 1 no fix, 2 2D, 3 3D); both drivers ask this rule.
TEST(GpsFix, OnlyA2dOr3dFixWithBothCoordinatesIsANewPosition) {
    struct Row {
        int mode;
        bool hasLatLon;
        bool realFix;
    };
    const Row rows[] = {
        {0, true, false},  // mode unknown: coordinates alone make no fix
        {1, true, false},  // no fix, whatever else the report carries
        {2, true, true},   {3, true, true},
        {2, false, false},  // a fix mode without a usable latitude and longitude
        {3, false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsRealFix(row.mode, row.hasLatLon), row.realFix)
            << "mode " << row.mode << ", lat/lon " << row.hasLatLon;
    }
}

}  // namespace
}  // namespace zentorak
