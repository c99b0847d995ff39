// Converts the town-level address points (UTF-8 CSV: pref,city,town,koaza,lat,lng on WGS 84)
// into the location-info file format: Tokyo-datum coordinates, the town as the name and the full
// address, CP932 with CR LF. Nothing of the source is kept beyond the converted cache file.
#pragma once

#include <string>

namespace zentorak::bench {

// The number of targets written, or -1 when the source cannot be read or the file written.
long ConvertTowns(const std::string& source, const std::string& target);

}  // namespace zentorak::bench
