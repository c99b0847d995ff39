#include "core/position/lbc_response.h"

#include <gtest/gtest.h>

#include <string>

namespace zentorak {
namespace {

std::u16string Bytes(std::string_view s) {
    std::u16string out;
    for (unsigned char c : s) {
        out += static_cast<char16_t>(c);
    }
    return out;
}

struct Parsed {
    int rc;
    int postal = 0;
    DmsAngle lat, lon;
};

Parsed Parse(int mask, std::string_view reply) {
    Parsed p{};
    p.rc = ParseLbcResponse(mask, Bytes(reply), p.postal, p.lat, p.lon);
    return p;
}

TEST(LbcResponse, LatitudeAndLongitudeWithoutPostalCode) {
    const Parsed p = Parse(6, "AT@LBC?\r\r\nN35:39:29\r\nE139:45:05\r\n");
    ASSERT_EQ(p.rc, 0);
    EXPECT_EQ(p.postal, 0);
    EXPECT_EQ(p.lat, (DmsAngle{35, 39, 29, 0}));
    EXPECT_EQ(p.lon, (DmsAngle{139, 45, 5, 0}));
}

TEST(LbcResponse, LinesInAnyOrderAndOtherLinesSkipped) {
    const Parsed p = Parse(7, "AT@LBC?\r\r\nOK\r\nE139:45:05\r\n1000001\r\nN35:39:29\r\n");
    ASSERT_EQ(p.rc, 0);
    EXPECT_EQ(p.postal, 1000001);
    EXPECT_EQ(p.lat, (DmsAngle{35, 39, 29, 0}));
    EXPECT_EQ(p.lon, (DmsAngle{139, 45, 5, 0}));
}

TEST(LbcResponse, SucceedsAtTheCharacterThatCompletesTheMask) {
    // Once N and E are in, the garbage after them is never looked at.
    EXPECT_EQ(Parse(6, "AT@LBC?\r\r\nN1:2:3\r\nE4:5:6\rXX").rc, 0);
}

TEST(LbcResponse, MsecClearedOnSuccessOnly) {
    int postal = 0;
    DmsAngle lat{1, 2, 3, 456}, lon{7, 8, 9, 789};
    EXPECT_EQ(ParseLbcResponse(6, Bytes("AT\r\r\nN1:2:3\r\nE4:5:6\r\n"), postal, lat, lon), 0);
    EXPECT_EQ(lat.msec, 0);
    EXPECT_EQ(lon.msec, 0);
}

// Expected codes: the state in which the text ran out (positive) or the failing state (negative).
struct FailRow {
    const char* name;
    int mask;
    const char* reply;
    int rc;
};

const FailRow kFailures[] = {
    {"empty", 6, "", 1},
    {"echoOnly", 6, "AT@LBC?\r", 2},
    {"echoNoLf", 6, "AT@LBC?\r\r", 3},
    {"onlyNLine", 6, "AT@LBC?\r\r\nN35:39:29\r\n", 4},
    {"cutInSeconds", 6, "AT@LBC?\r\r\nN35:39:2", 25},
    {"decimalSeconds", 6, "AT@LBC?\r\r\nN35:39:29.5\r\n", -125},
    {"hyphenPostal", 1, "AT@LBC?\r\r\n100-0001\r\n", -110},
    {"letterAfterN", 6, "AT@LBC?\r\r\nNX\r\n", -120},
    {"letterInDegrees", 6, "AT@LBC?\r\r\nN3x\r\n", -121},
    {"emptyMinutes", 6, "AT@LBC?\r\r\nN35::29\r\n", -122},
    {"spaceInMinutes", 6, "AT@LBC?\r\r\nN35:3 9:29\r\n", -123},
    {"emptySeconds", 6, "AT@LBC?\r\r\nN35:39:\r\n", -124},
    {"noLfAfterLine", 6, "AT@LBC?\r\r\nN35:39:29\rE", -150},
    {"crLfLostAfterEcho", 6, "AT@LBC?\r\nN35:39:29\r\nE139:45:05\r\n", 4},
    {"maskWithUnknownBit", 8, "AT@LBC?\r\r\nN35:39:29\r\nE139:45:05\r\n", 4},
};

TEST(LbcResponse, FailureCodes) {
    for (const FailRow& row : kFailures) {
        EXPECT_EQ(Parse(row.mask, row.reply).rc, row.rc) << row.name;
    }
}

TEST(LbcResponse, HugeNumberSaturatesInsteadOfOverflowing) {
    const Parsed p = Parse(1, "AT\r\r\n99999999999999999999\r\n");
    ASSERT_EQ(p.rc, 0);
    EXPECT_EQ(p.postal, INT32_MAX);
}

}  // namespace
}  // namespace zentorak
