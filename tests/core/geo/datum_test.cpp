// The datum shift between WGS 84 and the Tokyo datum, against fixed values taken from PROJ and,
// where PROJ's cs2cs is installed (proj-bin), against cs2cs itself.
#include "core/geo/datum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string>

#include "support/cs2cs.h"

namespace zentorak {
namespace {

struct Place {
    const char* name;
    double lat, lon;            // WGS 84
    double tokyoLat, tokyoLon;  // the same point on the Tokyo datum
};

// WGS 84 points spread over Japan; the Tokyo values are the output of
//   cs2cs -f %.9f EPSG:4326 EPSG:4301
// (PROJ 9.1.1, which applies EPSG:15484 here, the Japan-wide set).
constexpr Place kPlaces[] = {
    {"Wakkanai", 45.4156, 141.6731, 45.413455593, 141.677025015},
    {"Sapporo", 43.0621, 141.3544, 43.059677325, 141.358142194},
    {"Kushiro", 42.9849, 144.3820, 42.982365439, 144.386011528},
    {"Niigata", 37.9161, 139.0364, 37.913135932, 139.039665493},
    {"Tokyo", 35.6812, 139.7671, 35.677960647, 139.770334133},
    {"Osaka", 34.7025, 135.4959, 34.699256997, 135.498729434},
    {"Kagoshima", 31.5966, 130.5571, 31.593108821, 130.559403930},
    {"Chichijima", 27.0945, 142.1920, 27.090300219, 142.195136986},
    {"Naha", 26.2124, 127.6809, 26.208371841, 127.682843796},
    {"Ishigaki", 24.3448, 124.1572, 24.340620508, 124.158813230},
    {"southwestCorner", 20.0, 122.0, 19.995407034, 122.001382683},
    {"northeastCorner", 46.0, 148.0, 45.997692237, 148.004552992},
};

// Distance between two nearby points in metres (a sphere is close enough at this scale).
double Metres(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kMetresPerDegree = 6371000.0 * std::numbers::pi / 180;
    const double dy = (lat2 - lat1) * kMetresPerDegree;
    const double dx = (lon2 - lon1) * kMetresPerDegree * std::cos(lat1 * std::numbers::pi / 180);
    return std::hypot(dx, dy);
}

TEST(Datum, Wgs84ToTokyoMatchesProj) {
    for (const Place& p : kPlaces) {
        double lat = 0, lon = 0;
        Wgs84ToTokyo(p.lat, p.lon, lat, lon);
        EXPECT_LT(Metres(lat, lon, p.tokyoLat, p.tokyoLon), 0.01) << p.name;
        // The shift itself is some hundreds of metres, mostly to the north-west.
        EXPECT_GT(Metres(lat, lon, p.lat, p.lon), 300) << p.name;
    }
}

TEST(Datum, TokyoToWgs84UndoesTheShift) {
    for (const Place& p : kPlaces) {
        double lat = 0, lon = 0;
        TokyoToWgs84(p.tokyoLat, p.tokyoLon, lat, lon);
        EXPECT_LT(Metres(lat, lon, p.lat, p.lon), 0.01) << p.name;
    }
}

// Against cs2cs itself, both ways, with Fukuoka added: there PROJ picks the Korean set
// (EPSG:1305), which differs from the Japan-wide one by about 6 m, hence the bound of 10 m.
TEST(Datum, AgreesWithCs2csAcrossJapan) {
    if (system("command -v cs2cs >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "cs2cs is not installed (Debian package proj-bin); the fixed values "
                        "above still check the shift";
    }
    std::vector<std::pair<double, double>> points;
    for (const Place& p : kPlaces) {
        points.emplace_back(p.lat, p.lon);
    }
    points.emplace_back(33.5902, 130.4207);  // Fukuoka
    std::string input;
    for (const auto& [lat, lon] : points) {
        input += std::to_string(lat) + " " + std::to_string(lon) + "\n";
    }
    struct Direction {
        const char* from;
        const char* to;
        void (*convert)(double, double, double&, double&);
    };
    for (const Direction& d : {Direction{"EPSG:4326", "EPSG:4301", Wgs84ToTokyo},
                               Direction{"EPSG:4301", "EPSG:4326", TokyoToWgs84}}) {
        std::istringstream output(testing::RunCs2cs(std::string(d.from) + " " + d.to, input));
        for (const auto& [lat, lon] : points) {
            double projLat = 0, projLon = 0, height = 0;
            ASSERT_TRUE(output >> projLat >> projLon >> height) << d.from << " " << lat;
            double ourLat = 0, ourLon = 0;
            d.convert(lat, lon, ourLat, ourLon);
            EXPECT_LT(Metres(ourLat, ourLon, projLat, projLon), 10.0)
                << d.from << " -> " << d.to << " at " << lat << " " << lon;
        }
    }
}

}  // namespace
}  // namespace zentorak
