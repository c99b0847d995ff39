#include "core/geo/dms.h"

#include <gtest/gtest.h>

#include "core/targets/target_store.h"

#include <string>

namespace zentorak {
namespace {

TEST(ParseDms, FullTextRoundTrips) {
    DmsAngle a;
    ASSERT_EQ(ParseDms(u"35/39/29.123", a), 0);
    EXPECT_EQ(a, (DmsAngle{35, 39, 29, 123}));
    EXPECT_EQ(FormatDms(a), u"35/39/29.123");
}

TEST(ParseDms, TrailingPartsAreOptional) {
    struct Row {
        std::u16string_view text;
        DmsAngle expected;
        std::u16string_view formatted;
    } rows[] = {
        {u"139/45/5.7", {139, 45, 5, 7}, u"139/45/05.007"},
        {u"35/39/29", {35, 39, 29, 0}, u"35/39/29.000"},
        {u"35", {35, 0, 0, 0}, u"35/00/00.000"},
        {u"35/39", {35, 39, 0, 0}, u"35/39/00.000"},
        {u"35/39/", {35, 39, 0, 0}, u"35/39/00.000"},
        {u"35/39/29.", {35, 39, 29, 0}, u"35/39/29.000"},
        {u"35/", {35, 0, 0, 0}, u"35/00/00.000"},
        // Milliseconds are a count, not a fraction.
        {u"35/39/29.5", {35, 39, 29, 5}, u"35/39/29.005"},
        {u"35/39/29.500", {35, 39, 29, 500}, u"35/39/29.500"},
        // No range check: 75 minutes are taken as they are.
        {u"35/75/00.000", {35, 75, 0, 0}, u"35/75/00.000"},
    };
    for (const Row& row : rows) {
        DmsAngle a{9, 9, 9, 9};
        ASSERT_EQ(ParseDms(row.text, a), 0) << std::string(row.text.begin(), row.text.end());
        EXPECT_EQ(a, row.expected);
        EXPECT_EQ(FormatDms(a), row.formatted);
    }
    EXPECT_EQ(DmsToDegrees({35, 75, 0, 0}), 36.25);
}

TEST(ParseDms, FailureCodeNamesTheState) {
    struct Row {
        std::u16string_view text;
        int code;
    } rows[] = {
        {u" 35/39/29.123", -120}, {u"-35/39/29.123", -120}, {u"３５", -120},
        {u"35:39:29.123", -121},  {u"35.39", -121},         {u"35//29", -122},
        {u"35/x", -122},          {u"35/39.29", -123},      {u"35/39//", -124},
        {u"35/39/29/1", -125},    {u"35/39/29.x", -126},    {u"35/39/29.12a", -127},
        {u"35/39/29.1.2", -127},  {u"35/39/29.123 ", -127}, {u"", 1},
    };
    for (const Row& row : rows) {
        DmsAngle a;
        EXPECT_EQ(ParseDms(row.text, a), row.code) << std::string(row.text.begin(), row.text.end());
    }
}

TEST(ParseDms, TextEndsAtItsTerminator) {
    DmsAngle a;
    EXPECT_EQ(ParseDms(std::u16string(u"35/39\0xyz", 9), a), 0);
    EXPECT_EQ(a, (DmsAngle{35, 39, 0, 0}));
}

TEST(ParseDms, LongDigitRuns) {
    // Ten to nineteen digits clamp to INT32_MAX; twenty or more are rejected with the code of
    // the run they are in.
    const std::u16string nineteen(19, u'9'), twenty(20, u'9');
    DmsAngle a;
    ASSERT_EQ(ParseDms(u"2147483648", a), 0);
    EXPECT_EQ(a.deg, INT32_MAX);
    ASSERT_EQ(ParseDms(u"35/39/29." + nineteen, a), 0);
    EXPECT_EQ(a.msec, INT32_MAX);
    ASSERT_EQ(ParseDms(u"35/2147483647", a), 0);
    EXPECT_EQ(a.min, 2147483647);
    ASSERT_EQ(ParseDms(u"0000000000000000035", a), 0);  // nineteen digits with leading zeros
    EXPECT_EQ(a.deg, 35);
    EXPECT_EQ(ParseDms(twenty, a), -121);
    EXPECT_EQ(ParseDms(u"35/" + twenty, a), -123);
    EXPECT_EQ(ParseDms(u"35/39/" + twenty + u".1", a), -125);
    EXPECT_EQ(ParseDms(u"35/39/29." + twenty, a), -127);
}

TEST(DegreesConversion, TruncatesTowardZero) {
    EXPECT_EQ(DegreesToDms(35.5), (DmsAngle{35, 30, 0, 0}));
    EXPECT_EQ(DegreesToDms(0.0), (DmsAngle{0, 0, 0, 0}));
    // The round trip may lose one millisecond, never gain one.
    EXPECT_EQ(DegreesToDms(DmsToDegrees({35, 39, 29, 123})), (DmsAngle{35, 39, 29, 122}));
    EXPECT_DOUBLE_EQ(DmsToDegrees({35, 39, 29, 123}), 35.0 + 39 / 60.0 + 29.123 / 3600.0);
    // Values no int can hold saturate instead of being undefined.
    EXPECT_EQ(DegreesToDms(1e300).deg, INT32_MAX);
    EXPECT_EQ(DegreesToDms(-1e300).deg, INT32_MIN);
}

TEST(DegreesConversion, RoundedToTheNearestMillisecond) {
    // One second east of 139/46/01 in degrees truncates to 01.999, rounds to 02.000.
    double x = DmsToDegrees({139, 46, 1, 0}) + 1.0 / 3600;
    EXPECT_EQ(DegreesToDms(x), (DmsAngle{139, 46, 1, 999}));
    EXPECT_EQ(DegreesToDmsRounded(x), (DmsAngle{139, 46, 2, 0}));
    EXPECT_EQ(DegreesToDmsRounded(DmsToDegrees({35, 39, 29, 123})), (DmsAngle{35, 39, 29, 123}));
    EXPECT_EQ(DegreesToDmsRounded(35.0 + 59 / 60.0 + 59.9996 / 3600), (DmsAngle{36, 0, 0, 0}));
    EXPECT_EQ(DegreesToDmsRounded(-(35.5 + 0.0004 / 3600)), (DmsAngle{-35, -30, 0, 0}));
    EXPECT_EQ(DegreesToDmsRounded(1e300).deg, INT32_MAX);
}

TEST(GridCellOf, AreaBoundsAndCells) {
    struct Row {
        DmsAngle lat, lon;
        int result, row, column;
    } rows[] = {
        {{35, 39, 29, 123}, {139, 45, 5, 7}, 0, 156, 177},
        {{45, 59, 59, 999}, {147, 59, 59, 999}, 0, 259, 259},
        {{20, 0, 0, 0}, {122, 0, 0, 0}, 0, 0, 0},
        // The upper bounds pass and give index 260, outside the grid; callers must check.
        {{46, 0, 0, 0}, {148, 0, 0, 0}, 0, 260, 260},
        {{19, 59, 59, 999}, {139, 0, 0, 0}, -101, -1, -1},
        {{46, 0, 0, 1}, {139, 0, 0, 0}, -101, -1, -1},
        {{35, 0, 0, 0}, {121, 59, 59, 999}, -102, -1, -1},
        {{35, 0, 0, 0}, {148, 0, 0, 1}, -102, -1, -1},
        // Latitude is tested first.
        {{0, 0, 0, 0}, {0, 0, 0, 0}, -101, -1, -1},
    };
    for (const Row& r : rows) {
        int row = -1, column = -1;
        EXPECT_EQ(GridCellOf(r.lat, r.lon, row, column), r.result) << FormatDms(r.lat).size();
        if (r.result == 0) {
            EXPECT_EQ(row, r.row);
            EXPECT_EQ(column, r.column);
        }
    }
}

// The integer forms of the cell and sub-cell rules agree with the degrees' rules everywhere: away
// from an edge by arithmetic, and on and beside every edge of the area, of every row and column
// and of every sub-cell of every size, by these checks.
TEST(GridCellOf, WholeMillisecondsGiveTheDegreesAnswers) {
    auto arc = [](int64_t ms) { return ArcAngle::FromMilliseconds(static_cast<int32_t>(ms)); };
    auto same = [&](int64_t latMs, int64_t lonMs) {
        int row = -1, column = -1, degreeRow = -1, degreeColumn = -1;
        const int result = GridCellOf(arc(latMs), arc(lonMs), row, column);
        const int expected = GridCellOf(static_cast<DmsAngle>(arc(latMs)),
                                        static_cast<DmsAngle>(arc(lonMs)), degreeRow, degreeColumn);
        return result == expected && (result != 0 || (row == degreeRow && column == degreeColumn));
    };
    int mismatches = 0;
    for (int edge = 0; edge <= kGridRows; ++edge) {
        for (int64_t d = -1; d <= 1; ++d) {
            const int64_t lat = kAreaLatMinArc + int64_t{edge} * kArcPerCell + d;
            const int64_t lon = kAreaLonMinArc + int64_t{edge} * kArcPerCell + d;
            mismatches += !same(lat, kAreaLonMinArc + 1) + !same(kAreaLatMinArc + 1, lon);
        }
    }
    EXPECT_EQ(mismatches, 0);
    uint32_t a = 123456789;
    for (int i = 0; i < 100000; ++i) {  // and anywhere in and around the area
        a = a * 1103515245u + 12345u;
        const int64_t u = a % (30 * int64_t{kArcPerDegree});
        mismatches += !same(u + 18 * int64_t{kArcPerDegree}, u + 120 * int64_t{kArcPerDegree});
    }
    EXPECT_EQ(mismatches, 0);

    for (int k = 2; k <= 64; ++k) {
        for (int cell = 0; cell < kGridRows; cell += 37) {
            const int32_t edge = kAreaLatMinArc + cell * kArcPerCell;
            for (int j = 0; j <= k; ++j) {
                const int32_t sub = edge + static_cast<int32_t>(int64_t{j} * kArcPerCell / k);
                for (int32_t ms = sub - 1; ms <= sub + 1; ++ms) {
                    const ArcAngle x = arc(ms);
                    mismatches += SubCellIndex(x, edge, RowSouth(cell), k) !=
                                  SubCellIndex(DmsToDegrees(x), RowSouth(cell), k * 10.0, k);
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The index takes a box's edges from its extreme milliseconds, so the degrees must not fall where
// a field carries into the next: checked at every second and minute of the area.
TEST(DegreesConversion, GrowsWithTheMilliseconds) {
    int falls = 0;
    for (int32_t ms = kAreaLatMinArc - 1000; ms <= kAreaLonMaxArc + 1000; ms += 1000) {
        const double before = DmsToDegrees(ArcAngle::FromMilliseconds(ms - 1));
        falls += !(before <= DmsToDegrees(ArcAngle::FromMilliseconds(ms)));
        falls += !(DmsToDegrees(ArcAngle::FromMilliseconds(ms - 2)) <= before);
    }
    EXPECT_EQ(falls, 0);
}

TEST(SortingDistance, PlainDegreesWithoutLatitudeScaling) {
    EXPECT_DOUBLE_EQ(SortingDistance(35, 139, 38, 143), 5.0);
    EXPECT_DOUBLE_EQ(SortingDistance(38, 143, 35, 139), 5.0);
    EXPECT_EQ(SortingDistance(35, 139, 35, 139), 0.0);
}

TEST(GoogleCorrection, ShiftsTokyoDatumToWgs84) {
    double lat = 0, lon = 0;
    GoogleCorrection(35.0, 139.0, lat, lon);
    EXPECT_NEAR(lat, 35.00326, 0.000005);
    EXPECT_NEAR(lon, 138.99667, 0.000005);
}

}  // namespace
}  // namespace zentorak
