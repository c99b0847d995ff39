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

// ddmm.mmmmmm (latitude) or dddmm.mmmmmm (longitude) and the hemisphere letter.
std::string Angle(double degrees, bool latitude) {
    const char hemisphere = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
    degrees = std::fabs(degrees);
    const int whole = static_cast<int>(degrees);
    const double minutes = (degrees - whole) * 60.0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, latitude ? "%02d%09.6f,%c" : "%03d%09.6f,%c", whole,
                  minutes, hemisphere);
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
