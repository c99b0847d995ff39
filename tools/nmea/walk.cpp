#include "nmea/walk.h"

#include <cmath>

namespace zentorak::nmea {

namespace {

constexpr double kMetresPerDegreeLat = 111320.0;
constexpr double kPi = 3.14159265358979323846;

// Metres north and east from a to b.
void Offset(const WalkPoint& a, const WalkPoint& b, double& north, double& east) {
    north = (b.lat - a.lat) * kMetresPerDegreeLat;
    east = (b.lon - a.lon) * kMetresPerDegreeLat * std::cos(a.lat * kPi / 180.0);
}

}  // namespace

std::vector<WalkPoint> TokyoWaypoints() {
    return {{35.681236, 139.767125, 0, 0}, {35.684100, 139.774400, 0, 0},
            {35.691900, 139.770900, 0, 0}, {35.698353, 139.773114, 0, 0},
            {35.699700, 139.765300, 0, 0}, {35.695900, 139.757800, 0, 0},
            {35.685300, 139.752800, 0, 0}, {35.674900, 139.759900, 0, 0},
            {35.671700, 139.765000, 0, 0}, {35.681236, 139.767125, 0, 0}};
}

std::vector<WalkPoint> SampleWalk(const std::vector<WalkPoint>& waypoints, double speedMps,
                                  double intervalS) {
    std::vector<WalkPoint> samples;
    const double step = speedMps * intervalS;
    double carried = 0;  // metres already walked into the current leg
    for (size_t i = 0; i + 1 < waypoints.size(); ++i) {
        const WalkPoint& a = waypoints[i];
        const WalkPoint& b = waypoints[i + 1];
        double north, east;
        Offset(a, b, north, east);
        const double length = std::hypot(north, east);
        double track = std::atan2(east, north) * 180.0 / kPi;
        track = track < 0 ? track + 360.0 : track;
        for (; carried < length; carried += step) {
            const double f = carried / length;
            samples.push_back(
                {a.lat + (b.lat - a.lat) * f, a.lon + (b.lon - a.lon) * f, speedMps, track});
        }
        carried -= length;
    }
    if (!waypoints.empty()) {
        samples.push_back({waypoints.back().lat, waypoints.back().lon, 0, 0});
    }
    return samples;
}

}  // namespace zentorak::nmea
