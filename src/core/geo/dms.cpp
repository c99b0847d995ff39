#include "core/geo/dms.h"

#include <cmath>
#include <cstdio>

#include "core/text/text_utils.h"

namespace zentorak {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// A run of more than this many digits is rejected: no angle field is that long, and the handset
// converted runs from a scratch copy of this size.
constexpr size_t kMaxRun = 19;

}  // namespace

int ParseDms(std::u16string_view text, DmsAngle& out) {
    out = DmsAngle{};
    text = text.substr(0, text.find(u'\0'));  // The text ends at its terminator.
    // Each field: the separator that must follow its run, the code for a missing digit at the
    // field's start and the code for a bad character inside the run.
    struct Field {
        int32_t DmsAngle::*member;
        char16_t terminator;
        int startCode;
        int runCode;
    };
    static constexpr Field kFields[] = {
        {&DmsAngle::deg, u'/', -120, -121},
        {&DmsAngle::min, u'/', -122, -123},
        {&DmsAngle::sec, u'.', -124, -125},
        {&DmsAngle::msec, u'\0', -126, -127},
    };
    if (text.empty()) {
        return 1;
    }
    size_t pos = 0;
    for (const Field& field : kFields) {
        if (pos == text.size()) {
            return 0;  // The text ended right after a separator: this field stays 0.
        }
        if (!IsDigit(text[pos])) {
            return field.startCode;
        }
        size_t runEnd = pos;
        while (runEnd < text.size() && IsDigit(text[runEnd])) {
            ++runEnd;
        }
        if (runEnd - pos > kMaxRun) {
            return field.runCode;
        }
        out.*field.member = DigitRunValue(text.substr(pos, runEnd - pos));
        if (runEnd == text.size()) {
            return 0;
        }
        if (text[runEnd] != field.terminator || field.terminator == u'\0') {
            return field.runCode;
        }
        pos = runEnd + 1;
    }
    return 0;
}

namespace {

std::u16string Widen(const char* text) {
    std::u16string result;
    for (const char* p = text; *p; ++p) {
        result.push_back(static_cast<unsigned char>(*p));
    }
    return result;
}

}  // namespace

std::u16string FormatDms(const DmsAngle& a) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d.%03d", a.deg, a.min, a.sec, a.msec);
    return Widen(buffer);
}

std::u16string FormatDmsShort(const DmsAngle& a) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d", a.deg, a.min, a.sec);
    return Widen(buffer);
}

DmsAngle DegreesToDmsRounded(double x) {
    if (!(std::fabs(x) < 1e6)) {
        return DegreesToDms(x);  // no angle; saturated as there, not rounded out of range
    }
    const int sign = x < 0 ? -1 : 1;
    const long long total = std::llround(std::fabs(x) * 3600000.0);
    DmsAngle a;
    a.deg = sign * static_cast<int32_t>(total / 3600000);
    a.min = sign * static_cast<int32_t>(total / 60000 % 60);
    a.sec = sign * static_cast<int32_t>(total / 1000 % 60);
    a.msec = sign * static_cast<int32_t>(total % 1000);
    return a;
}

double SortingDistance(double refLat, double refLon, double lat, double lon) {
    double dLon = lon - refLon;
    double dLat = lat - refLat;
    return std::sqrt(dLon * dLon + dLat * dLat);
}

void GoogleCorrection(double lat, double lon, double& correctedLat, double& correctedLon) {
    correctedLat = lat * 0.9999177043 + 0.006140953;
    correctedLon = lon * 0.9998785069 + 0.0135585363;
}

}  // namespace zentorak
