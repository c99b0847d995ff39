#include "core/app/coordinate_entry.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

TEST(CoordinateEntry, ListTexts) {
    std::vector<std::u16string> lat = LatitudeDegreeTexts();
    std::vector<std::u16string> lon = LongitudeDegreeTexts();
    std::vector<std::u16string> minutes = MinuteSecondTexts();
    ASSERT_EQ(lat.size(), 26u);
    ASSERT_EQ(lon.size(), 26u);
    ASSERT_EQ(minutes.size(), 60u);
    EXPECT_EQ(lat.front(), u"20");
    EXPECT_EQ(lat[13], u"33");
    EXPECT_EQ(lat.back(), u"45");
    EXPECT_EQ(lon.front(), u"122");
    EXPECT_EQ(lon[13], u"135");
    EXPECT_EQ(lon.back(), u"147");
    EXPECT_EQ(minutes.front(), u"00");
    EXPECT_EQ(minutes[7], u"07");
    EXPECT_EQ(minutes.back(), u"59");
    EXPECT_EQ(CoordinateLabel(u"緯度"), u"緯度:");
}

TEST(CoordinateEntry, PreselectionAndFallbacks) {
    struct Row {
        DmsAngle lat;
        DmsAngle lon;
        CoordinateEntries entries;  // searchAfterMove left at true
    } rows[] = {
        {{35, 40, 12, 345}, {139, 45, 30, 0}, {15, 40, 12, 17, 45, 30}},
        {{50, 0, 0, 0}, {139, 0, 0, 0}, {13, 0, 0, 17, 0, 0}},  // 50 N is off the list: 33
        {{19, 0, 0, 0}, {121, 59, 59, 999}, {13, 0, 0, 13, 59, 59}},
        {{20, 0, 0, 0}, {122, 0, 0, 0}, {0, 0, 0, 0, 0, 0}},  // the first entries
        {{45, 59, 59, 0}, {147, 0, 0, 0}, {25, 59, 59, 25, 0, 0}},
        {{46, 60, -1, 0}, {148, -5, 75, 0}, {13, 0, 0, 13, 0, 0}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PreselectCoordinates(row.lat, row.lon, 1), row.entries)
            << row.lat.deg << "/" << row.lon.deg;
    }
}

TEST(CoordinateEntry, SearchAfterTheMoveUnlessTheSettingSaysTwo) {
    for (int setting : {1, 0, 3, -1}) {
        EXPECT_TRUE(PreselectCoordinates({}, {}, setting).searchAfterMove) << setting;
    }
    EXPECT_FALSE(PreselectCoordinates({}, {}, 2).searchAfterMove);
}

TEST(CoordinateEntry, OkDropsTheMillisecondsAndStoresTheCheckBox) {
    DmsAngle lat{35, 40, 12, 345};
    DmsAngle lon{139, 45, 30, 500};
    CoordinateEntries entries = PreselectCoordinates(lat, lon, 2);
    int setting = 2;
    ApplyCoordinateEntries(entries, lat, lon, setting);
    EXPECT_EQ(lat, (DmsAngle{35, 40, 12, 0}));
    EXPECT_EQ(lon, (DmsAngle{139, 45, 30, 0}));
    EXPECT_EQ(setting, 2);
    entries.searchAfterMove = true;
    entries.latDeg = 0;
    ApplyCoordinateEntries(entries, lat, lon, setting);
    EXPECT_EQ(lat, (DmsAngle{20, 40, 12, 0}));
    EXPECT_EQ(setting, 1);
}

}  // namespace
}  // namespace zentorak
