// A generated walk for the NMEA replayer: waypoints joined by straight legs, walked at a steady
// speed, sampled at a fixed interval. Geometry is local and flat (legs of a few hundred metres).
#pragma once

#include <vector>

namespace zentorak::nmea {

struct WalkPoint {
    double lat;
    double lon;
    double speedMps;  // 0 at the last point
    double track;     // degrees from north
};

// A loop through central Tokyo: Tokyo Station, Nihonbashi, Kanda, Akihabara, Jimbocho,
// the palace side, Hibiya, Ginza and back.
std::vector<WalkPoint> TokyoWaypoints();

// Samples the path every `intervalS` seconds at `speedMps`; the last sample is the end point.
std::vector<WalkPoint> SampleWalk(const std::vector<WalkPoint>& waypoints, double speedMps,
                                  double intervalS);

}  // namespace zentorak::nmea
