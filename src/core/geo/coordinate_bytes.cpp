#include "core/geo/coordinate_bytes.h"

#include <charconv>

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
    return c >= '0' && c <= '9';
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
    cell.decimal = ParseDecimalDegrees(bytes, cell.degrees);
    // A decimal cell with a point or a blank is no D/M/S text; only bare digits are both.
    bool bareDigits = !bytes.empty();
    for (char c : bytes) {
        bareDigits = bareDigits && IsDigit(c);
    }
    if (!cell.decimal || bareDigits) {
        cell.dms = ParseAsciiDms(bytes, cell.angle);
    }
    return cell;
}

}  // namespace

bool ParseCoordinateBytes(std::string_view bytes, DmsAngle& out) {
    return ParseUsualForm(bytes, out) || ParseAsciiDms(bytes, out);
}

bool ParseDecimalDegrees(std::string_view bytes, double& degrees) {
    size_t begin = 0, end = bytes.size();
    while (begin < end && IsBlank(bytes[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(bytes[end - 1])) {
        --end;
    }
    size_t i = begin;
    while (i < end && IsDigit(bytes[i])) {
        ++i;
    }
    if (i == begin) {
        return false;  // no digit before the point, or an empty cell
    }
    if (i < end && bytes[i] == '.') {
        ++i;
        while (i < end && IsDigit(bytes[i])) {
            ++i;
        }
    }
    if (i != end) {
        return false;
    }
    // from_chars reads the whole number however long, rounded correctly and without the locale.
    return std::from_chars(bytes.data() + begin, bytes.data() + end, degrees).ec == std::errc{};
}

PointForm ReadPoint(std::string_view latCell, std::string_view lonCell, DmsAngle& lat,
                    DmsAngle& lon) {
    const Cell a = ReadCell(latCell);
    const Cell b = ReadCell(lonCell);
    if (a.dms && b.dms) {
        lat = a.angle;
        lon = b.angle;
        return PointForm::kDms;
    }
    if (a.decimal && b.decimal) {
        if (!(a.degrees >= kAreaLatMin && a.degrees <= kAreaLatMax && b.degrees >= kAreaLonMin &&
              b.degrees <= kAreaLonMax)) {
            return PointForm::kDecimalOutsideArea;
        }
        Wgs84ToTokyoDms(a.degrees, b.degrees, lat, lon);
        return PointForm::kDecimal;
    }
    return (a.dms || a.decimal) && (b.dms || b.decimal) ? PointForm::kMixed
                                                        : PointForm::kUnreadable;
}

}  // namespace zentorak
