#include "core/locinfo/coordinate_bytes.h"

#include <charconv>
#include <cstdint>
#include <iterator>

#include "core/geo/datum_table.h"

namespace zentorak {

namespace {

constexpr size_t kShortField = 64;  // widened on the stack; longer ones on the heap

bool Digits(const char* p, int n, int32_t& value) {
    value = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') {
            return false;
        }
        value = value * 10 + (p[i] - '0');
    }
    return true;
}

// "d/mm/ss.mmm" with one to three degree digits, nothing else.
bool ParseUsualForm(std::string_view b, DmsAngle& out) {
    int degreeDigits = static_cast<int>(b.size()) - 10;
    if (degreeDigits < 1 || degreeDigits > 3) {
        return false;
    }
    const char* p = b.data() + degreeDigits;
    DmsAngle a;
    if (p[0] != '/' || p[3] != '/' || p[6] != '.' || !Digits(b.data(), degreeDigits, a.deg) ||
        !Digits(p + 1, 2, a.min) || !Digits(p + 4, 2, a.sec) || !Digits(p + 7, 3, a.msec)) {
        return false;
    }
    out = a;
    return true;
}

// ParseDms on ASCII bytes widened as they are; no CP932 or UTF-8 sequence decodes to a character
// ParseDms accepts, so any other byte fails the field as ParseDms fails its decoded text.
bool ParseAsciiDms(std::string_view bytes, DmsAngle& out) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    if (bytes.size() > kShortField) {
        return ParseDms(std::u16string(bytes.begin(), bytes.end()), out) == 0;
    }
    char16_t text[kShortField];
    for (size_t i = 0; i < bytes.size(); ++i) {
        text[i] = static_cast<unsigned char>(bytes[i]);
    }
    return ParseDms(std::u16string_view(text, bytes.size()), out) == 0;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Exact powers of ten, as far as a double holds them.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// ParseDecimalDegrees; bare is set when the cell is digits alone (no point, no blank).
bool ParseDecimal(std::string_view bytes, double& degrees, bool& bare) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end && IsBlank(*p)) {
        ++p;
    }
    while (end > p && IsBlank(end[-1])) {
        --end;
    }
    const char* first = p;
    uint64_t mantissa = 0;  // wraps for more than 19 digits, which are not taken from it
    for (; p < end && IsDigit(*p); ++p) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    }
    const char* point = p;
    if (point == first) {
        return false;  // no digit before the point, or an empty cell
    }
    bare = point == end && first == bytes.data() && end == bytes.data() + bytes.size();
    if (p < end && *p == '.') {
        for (++p; p < end && IsDigit(*p); ++p) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
        }
    }
    if (p != end) {
        return false;
    }
    const size_t fraction = point < end ? static_cast<size_t>(end - point - 1) : 0;
    const size_t digits = static_cast<size_t>(point - first) + fraction;
    // Both operands exact, so the one rounding of the division gives the correctly rounded
    // value, as from_chars does; longer numbers go to from_chars, which reads any length
    // without the locale.
    if (digits <= 19 && mantissa <= (uint64_t{1} << 53) && fraction < std::size(kPowersOfTen)) {
        degrees = static_cast<double>(mantissa) / kPowersOfTen[fraction];
        return true;
    }
    return std::from_chars(first, end, degrees).ec == std::errc{};
}

// What one cell can be read as. A run of digits alone is both.
struct Cell {
    bool dms = false, decimal = false;
    DmsAngle angle;
    double degrees = 0;
};

Cell ReadCell(std::string_view bytes) {
    Cell cell;
    if (ParseUsualForm(bytes, cell.angle)) {
        cell.dms = true;  // the handsets' form, the common case, decided without more work
        return cell;
    }
    // A decimal cell with a point or a blank is no D/M/S text; only bare digits are both.
    bool bare = false;
    cell.decimal = ParseDecimal(bytes, cell.degrees, bare);
    if (!cell.decimal || bare) {
        cell.dms = ParseAsciiDms(bytes, cell.angle);
    }
    return cell;
}

}  // namespace

bool ParseCoordinateBytes(std::string_view bytes, DmsAngle& out) {
    return ParseUsualForm(bytes, out) || ParseAsciiDms(bytes, out);
}

bool ParseDecimalDegrees(std::string_view bytes, double& degrees) {
    bool bare;
    return ParseDecimal(bytes, degrees, bare);
}

PointForm WgsDegreesToTokyo(double latDegrees, double lonDegrees, DmsAngle& lat, DmsAngle& lon) {
    if (!(latDegrees >= kAreaLatMin && latDegrees <= kAreaLatMax && lonDegrees >= kAreaLonMin &&
          lonDegrees <= kAreaLonMax)) {
        return PointForm::kDecimalOutsideArea;
    }
    Wgs84ToTokyoDms(latDegrees, lonDegrees, lat, lon);
    return PointForm::kDecimal;
}

PointForm ReadPoint(std::string_view latCell, std::string_view lonCell, DmsAngle& lat,
                    DmsAngle& lon) {
    if (ParseUsualForm(latCell, lat) && ParseUsualForm(lonCell, lon)) {
        return PointForm::kDms;  // the handsets' files, decided at once
    }
    const Cell a = ReadCell(latCell);
    const Cell b = ReadCell(lonCell);
    if (a.dms && b.dms) {
        lat = a.angle;
        lon = b.angle;
        return PointForm::kDms;
    }
    if (a.decimal && b.decimal) {
        return WgsDegreesToTokyo(a.degrees, b.degrees, lat, lon);
    }
    return (a.dms || a.decimal) && (b.dms || b.decimal) ? PointForm::kMixed
                                                        : PointForm::kUnreadable;
}

}  // namespace zentorak
