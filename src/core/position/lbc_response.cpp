#include "core/position/lbc_response.h"

#include <cstdint>

namespace zentorak {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Adds one digit. A module never sends more than a few digits; a longer run saturates instead
// of overflowing, which keeps a garbled reply harmless.
int32_t AddDigit(int32_t value, char16_t c) {
    const int32_t digit = c - u'0';
    if (value > (INT32_MAX - digit) / 10) {
        return INT32_MAX;
    }
    return value * 10 + digit;
}

struct LbcParser {
    int state = 1;
    int found = 0;
    int32_t number = 0;
    DmsAngle* angle = nullptr;
    int angleItem = 0;

    // Feeds one character; returns 0 to go on or a negative failure code.
    int Step(char16_t c, int& postal, DmsAngle& lat, DmsAngle& lon);
    void LineStart(char16_t c, DmsAngle& lat, DmsAngle& lon);
    int FirstDigit(char16_t c, int failCode);
    int Field(char16_t c, char16_t end, int32_t& target, int next, int failCode);
};

// States 20, 22 and 24: a field must start with a digit.
int LbcParser::FirstDigit(char16_t c, int failCode) {
    if (!IsDigit(c)) {
        return failCode;
    }
    number = c - u'0';
    state += 1;
    return 0;
}

// States 10, 21, 23 and 25: digits of one field, closed by `end`.
int LbcParser::Field(char16_t c, char16_t end, int32_t& target, int next, int failCode) {
    if (IsDigit(c)) {
        number = AddDigit(number, c);
        return 0;
    }
    if (c != end) {
        return failCode;
    }
    target = number;
    state = next;
    return 0;
}

// State 4: the first character of a reply line decides what the line is.
void LbcParser::LineStart(char16_t c, DmsAngle& lat, DmsAngle& lon) {
    if (IsDigit(c)) {
        number = c - u'0';
        state = 10;
    } else if (c == u'N' || c == u'E') {
        angle = c == u'N' ? &lat : &lon;
        angleItem = c == u'N' ? kLbcLatitude : kLbcLongitude;
        state = 20;
    } else {
        state = 2;  // any other line is skipped
    }
}

int LbcParser::Step(char16_t c, int& postal, DmsAngle& lat, DmsAngle& lon) {
    const int before = state;
    int rc = 0;
    switch (state) {
        case 1:
            state = c == u'\r' ? 2 : 1;
            break;
        case 2:
            state = c == u'\r' ? 3 : 2;
            break;
        case 3:
            state = c == u'\n' ? 4 : 1;
            break;
        case 4:
            LineStart(c, lat, lon);
            break;
        case 10:
            rc = Field(c, u'\r', postal, 50, kLbcBadPostal);
            break;
        case 20:
            rc = FirstDigit(c, kLbcNoDegrees);
            break;
        case 21:
            rc = Field(c, u':', angle->deg, 22, kLbcBadDegrees);
            break;
        case 22:
            rc = FirstDigit(c, kLbcNoMinutes);
            break;
        case 23:
            rc = Field(c, u':', angle->min, 24, kLbcBadMinutes);
            break;
        case 24:
            rc = FirstDigit(c, kLbcNoSeconds);
            break;
        case 25:
            rc = Field(c, u'\r', angle->sec, 50, kLbcBadSeconds);
            break;
        default:  // 50: end of a line
            if (c != u'\n') {
                return kLbcNoLineFeed;
            }
            state = 4;
            break;
    }
    if (state == 50 && before != 50) {
        found |= before == 10 ? kLbcPostal : angleItem;
    }
    return rc;
}

}  // namespace

int ParseLbcResponse(int mask, std::u16string_view text, int& postal, DmsAngle& lat,
                     DmsAngle& lon) {
    LbcParser parser;
    for (char16_t c : text) {
        const int rc = parser.Step(c, postal, lat, lon);
        if (rc != 0) {
            return rc;
        }
        if ((parser.found & mask) == mask) {
            lat.msec = 0;
            lon.msec = 0;
            return 0;
        }
    }
    return parser.state;
}

}  // namespace zentorak
