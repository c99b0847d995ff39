// Builds NMEA 0183 sentences ($GPRMC, $GPGGA) for a position, with their checksums, so that
// the replayer and the tests can feed gpsd without recorded files. Only writes sentences.
#pragma once

#include <string>

namespace zentorak::nmea {

// Adds '$', '*', the checksum and CR LF around `body` (e.g. "GPRMC,...").
std::string Sentence(const std::string& body);
// A fix at decimal degrees; `second` numbers the fix (time of day = second since midnight).
std::string Rmc(double lat, double lon, int second, double speedKnots = 0, double track = 0);
std::string Gga(double lat, double lon, int second);
// A receiver report without a fix.
std::string RmcNoFix(int second);

}  // namespace zentorak::nmea
