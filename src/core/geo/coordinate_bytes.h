// Reads the two coordinate cells of a location-info line straight from their bytes, in either of
// two forms: "d/mm/ss.mmm" on the Tokyo datum, read as ParseDms reads the decoded text, and
// decimal degrees on WGS 84, converted to the Tokyo datum. Both forms are ASCII, so the file's
// encoding does not matter: a byte above 0x7F makes a cell unreadable, as it makes ParseDms fail
// on the decoded text in CP932 and in UTF-8 alike. Does not check the service area of a DMS point.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

// True when ParseDms accepts the decoded field; out then holds the angle.
bool ParseCoordinateBytes(std::string_view bytes, DmsAngle& out);

// A plain decimal number: digits with at most one '.', blanks (space, tab) around it allowed, no
// sign and no exponent. True with its value.
bool ParseDecimalDegrees(std::string_view bytes, double& degrees);

enum class PointForm : uint8_t {
    kUnreadable,          // a cell in neither form
    kDms,                 // both cells D/M/S (whole numbers such as 35 count as that too)
    kDecimal,             // both cells decimal degrees, converted to the Tokyo datum
    kDecimalOutsideArea,  // decimal degrees, but not 20..46 N and 122..148 E: no point
    kMixed,               // one cell in each form: no point
};

// The point of a line from its latitude and longitude cells. A whole number of degrees reads in
// either form, so it goes with the other cell; two whole numbers are D/M/S, as they always were.
// lat and lon are set for kDms and kDecimal.
PointForm ReadPoint(std::string_view latCell, std::string_view lonCell, DmsAngle& lat,
                    DmsAngle& lon);

namespace detail {

// The usual form "d/mm/ss.mmm" (one to three degree digits, nothing else) as milliseconds of arc,
// the fields carried as ArcAngle carries them. Inline and without branches on the digits: the
// loader reads two a line.
inline bool ParseUsualArc(std::string_view cell, ArcAngle& out) {
    const size_t n = cell.size();
    if (n < 11 || n > 13) {
        return false;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(cell.data());
    const unsigned char* p = b + (n - 10);  // the first '/'
    auto digit = [](unsigned char c) { return static_cast<uint32_t>(c) - '0'; };
    bool bad = (p[0] != '/') | (p[3] != '/') | (p[6] != '.');
    uint32_t deg = 0;
    for (const unsigned char* q = b; q < p; ++q) {
        bad |= digit(*q) > 9;
        deg = deg * 10 + digit(*q);
    }
    const uint32_t m1 = digit(p[1]), m2 = digit(p[2]), s1 = digit(p[4]), s2 = digit(p[5]);
    const uint32_t x1 = digit(p[7]), x2 = digit(p[8]), x3 = digit(p[9]);
    bad |= (m1 > 9) | (m2 > 9) | (s1 > 9) | (s2 > 9) | (x1 > 9) | (x2 > 9) | (x3 > 9);
    if (bad) {
        return false;
    }
    // At most 999/99/99.999: 3,602,339,999 fits 32 bits unsigned.
    const uint32_t ms =
        ((deg * 60 + m1 * 10 + m2) * 60 + s1 * 10 + s2) * 1000 + x1 * 100 + x2 * 10 + x3;
    out = ArcAngle::FromMilliseconds(static_cast<int32_t>(std::min<uint32_t>(ms, INT32_MAX)));
    return true;
}

}  // namespace detail

// ReadPoint's common case, decided at once: true when both cells are in the usual D/M/S form
// (where ReadPoint gives kDms), with the angles carried into their ranges.
inline bool ReadUsualPoint(std::string_view latCell, std::string_view lonCell, ArcAngle& lat,
                           ArcAngle& lon) {
    return detail::ParseUsualArc(latCell, lat) && detail::ParseUsualArc(lonCell, lon);
}

}  // namespace zentorak
