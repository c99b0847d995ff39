#include "nmea_sentences.h"

#include <cmath>
#include <cstdio>

namespace zentorak::nmea {

namespace {

std::string Time(int second) {
    char buffer[16];
    second %= 86400;
    std::snprintf(buffer, sizeof buffer, "%02d%02d%02d.00", second / 3600, second / 60 % 60,
                  second % 60);
    return buffer;
}

// ddmm.mmmmmm (latitude) or dddmm.mmmmmm (longitude) and the hemisphere letter. The angle is
// rounded to millionths of a minute first, so that minutes that round up to 60 carry into the
// degrees instead of being printed as "60.000000".
std::string Angle(double degrees, bool latitude) {
    const char hemisphere = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
    constexpr long long kPerMinute = 1000000;
    const long long total = std::llround(std::fabs(degrees) * 60.0 * kPerMinute);
    const long long whole = total / (60 * kPerMinute);
    const long long minutes = total % (60 * kPerMinute);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer,
                  latitude ? "%02lld%02lld.%06lld,%c" : "%03lld%02lld.%06lld,%c", whole,
                  minutes / kPerMinute, minutes % kPerMinute, hemisphere);
    return buffer;
}

}  // namespace

std::string Sentence(const std::string& body) {
    unsigned checksum = 0;
    for (unsigned char c : body) {
        checksum ^= c;
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    return "$" + body + tail;
}

std::string Rmc(double lat, double lon, int second, double speedKnots, double track) {
    char motion[32];
    std::snprintf(motion, sizeof motion, "%.1f,%.1f", speedKnots, track);
    return Sentence("GPRMC," + Time(second) + ",A," + Angle(lat, true) + "," + Angle(lon, false) +
                    "," + motion + ",071226,,,A");
}

std::string Gga(double lat, double lon, int second) {
    return Sentence("GPGGA," + Time(second) + "," + Angle(lat, true) + "," + Angle(lon, false) +
                    ",1,08,1.0,10.0,M,40.0,M,,");
}

std::string RmcNoFix(int second) {
    return Sentence("GPRMC," + Time(second) + ",V,,,,,,,071226,,,N");
}

}  // namespace zentorak::nmea
