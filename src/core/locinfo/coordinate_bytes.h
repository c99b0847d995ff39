// Reads the two coordinate cells of a location-info line straight from their bytes, in either of
// two forms: "d/mm/ss.mmm" on the Tokyo datum, read as ParseDms reads the decoded text, and
// decimal degrees on WGS 84, converted to the Tokyo datum. Both forms are ASCII, so the file's
// encoding does not matter: a byte above 0x7F makes a cell unreadable, as it makes ParseDms fail
// on the decoded text in CP932 and in UTF-8 alike. Does not check the service area of a DMS point.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
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

// A point in WGS 84 decimal degrees on the Tokyo datum, as a decimal line gives it: kDecimal, or
// kDecimalOutsideArea (not 20..46 N and 122..148 E; lat and lon are left alone).
PointForm WgsDegreesToTokyo(double latDegrees, double lonDegrees, DmsAngle& lat, DmsAngle& lon);

// The point of a line from its latitude and longitude cells. A whole number of degrees reads in
// either form, so it goes with the other cell; two whole numbers are D/M/S, as they always were.
// lat and lon are set for kDms and kDecimal.
PointForm ReadPoint(std::string_view latCell, std::string_view lonCell, DmsAngle& lat,
                    DmsAngle& lon);

namespace detail {

// The usual form "d/mm/ss.mmm" (one to three degree digits, nothing else) as milliseconds of arc,
// the fields carried as ArcAngle carries them. Inline, and the "/mm/ss.mmm" after the degrees
// checked eight bytes at a time: the loader reads two a line.
inline bool ParseUsualArc(std::string_view cell, ArcAngle& out) {
    const size_t n = cell.size();
    if (n < 11 || n > 13) {
        return false;
    }
    const char* b = cell.data();
    const char* p = b + (n - 10);  // the first '/'
    // Bytes 2 to 9 after it, "m/ss.mmm" (little-endian: byte i is bits 8i to 8i + 7). XOR turns
    // digits into 0 to 9; a byte is a digit when adding 0x76 leaves its top bit clear (a carry
    // into the next byte comes only from a byte that fails already).
    uint64_t word;
    std::memcpy(&word, p + 2, 8);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap64(word);
    }
    constexpr uint64_t kSeparators = 0x000000FF0000FF00, kDigits = ~kSeparators;
    constexpr uint64_t kExpected = uint64_t{'.'} << 32 | uint64_t{'/'} << 8;
    const uint64_t x = word ^ 0x3030303030303030;
    const uint64_t notDigit = ((x + 0x7676767676767676) | x) & 0x8080808080808080 & kDigits;
    const auto digit = [](char c) {
        return static_cast<uint32_t>(static_cast<unsigned char>(c)) - '0';
    };
    const uint32_t first = digit(p[1]);
    uint32_t deg = digit(b[0]), worst = deg;  // a byte below '0' wraps to a large digit
    for (const char* q = b + 1; q < p; ++q) {
        worst = std::max(worst, digit(*q));
        deg = deg * 10 + digit(*q);
    }
    const bool bad = (notDigit != 0) | ((word & kSeparators) != kExpected) | (p[0] != '/') |
                     (first > 9) | (worst > 9);
    if (bad) {
        return false;
    }
    // Byte i of pairs is ten times digit i plus digit i + 1 (the separators are cleared first,
    // so nothing carries): byte 2 is the seconds, and byte 5 times ten plus digit 7 the
    // milliseconds.
    const uint64_t digits = x & kDigits;
    const uint64_t pairs = digits * 10 + (digits >> 8);
    const uint32_t min = first * 10 + static_cast<uint32_t>(digits & 0xFF);
    const uint32_t sec = static_cast<uint32_t>(pairs >> 16) & 0xFF;
    const uint32_t msec =
        (static_cast<uint32_t>(pairs >> 40) & 0xFF) * 10 + static_cast<uint32_t>(digits >> 56);
    // At most 999/99/99.999: 3,602,339,999 fits 32 bits unsigned.
    const uint32_t ms = ((deg * 60 + min) * 60 + sec) * 1000 + msec;
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
