// The Tokyo-datum angles of WGS 84 points in decimal degrees, exactly as DegreesToDms gives them
// for Wgs84ToTokyo's result, at a small fraction of its cost, for the thousands of points of a
// location-info file. Does not convert the other way and keeps no state beyond its shift table.
#pragma once

#include "core/geo/dms.h"

namespace zentorak {

// Inside the service area the shift comes from a table with cubic interpolation; a point whose
// angles the table's error could move across a millisecond, and any point outside the area, is
// converted by Wgs84ToTokyo itself. The table is built on the first call (thread-safe).
void Wgs84ToTokyoDms(double lat, double lon, DmsAngle& tokyoLat, DmsAngle& tokyoLon);

}  // namespace zentorak
