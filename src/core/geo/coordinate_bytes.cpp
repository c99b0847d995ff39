#include "core/geo/coordinate_bytes.h"

#include <string>

#include "core/platform/code_page.h"

namespace zentorak {

namespace {

constexpr size_t kShortField = 64;  // decoded on the stack; longer ones on the heap

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

}  // namespace

bool ParseCoordinateBytes(std::string_view bytes, DmsAngle& out) {
    if (ParseUsualForm(bytes, out)) {
        return true;
    }
    if (bytes.size() > kShortField) {
        return ParseDms(DecodeCp932(bytes), out) == 0;
    }
    char16_t text[kShortField];
    size_t n = DecodeCp932(bytes.data(), bytes.size(), text);
    return ParseDms(std::u16string_view(text, n), out) == 0;
}

}  // namespace zentorak
