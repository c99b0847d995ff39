// The table behind decimal-degree cells must give exactly the angles of the exact conversion
// (DegreesToDms of Wgs84ToTokyo), everywhere in the area: at random points, on the table's
// nodes and cell edges, on the area's edges and just outside it.
#include "core/geo/datum_table.h"

#include <gtest/gtest.h>

#include <random>

#include "core/geo/datum.h"

namespace zentorak {
namespace {

void ExpectExact(double lat, double lon) {
    double exactLat, exactLon;
    Wgs84ToTokyo(lat, lon, exactLat, exactLon);
    DmsAngle tableLat, tableLon;
    Wgs84ToTokyoDms(lat, lon, tableLat, tableLon);
    ASSERT_EQ(tableLat, DegreesToDms(exactLat)) << lat << " " << lon;
    ASSERT_EQ(tableLon, DegreesToDms(exactLon)) << lat << " " << lon;
}

TEST(Wgs84ToTokyoDms, EqualsTheExactConversionAtRandomPoints) {
    std::mt19937_64 random(15);
    std::uniform_real_distribution<double> lat(kAreaLatMin, kAreaLatMax),
        lon(kAreaLonMin, kAreaLonMax);
    for (int i = 0; i < 300000; ++i) {
        ExpectExact(lat(random), lon(random));
    }
}

TEST(Wgs84ToTokyoDms, EqualsTheExactConversionOnNodesEdgesAndOutside) {
    for (double lat = kAreaLatMin - 0.25; lat <= kAreaLatMax + 0.25; lat += 0.25) {
        for (double lon = kAreaLonMin - 0.25; lon <= kAreaLonMax + 0.25; lon += 0.25) {
            ExpectExact(lat, lon);
            ExpectExact(std::nextafter(lat, 0.0), std::nextafter(lon, 200.0));
        }
    }
    ExpectExact(395.5, 139.5);
    ExpectExact(0, 0);
}

}  // namespace
}  // namespace zentorak
