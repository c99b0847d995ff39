#include "core/itemlist/item_list_geometry.h"

#include <gtest/gtest.h>

#include <map>

namespace zentorak {
namespace {

// Rows of defaultHeight unless an own height is listed.
RowLayout Rows(int count, int defaultHeight, std::map<int, int> own = {}, bool wrap = false) {
    RowLayout rows;
    rows.count = count;
    rows.defaultHeight = defaultHeight;
    rows.wrap = wrap;
    rows.ownHeight = [own](int index) {
        auto it = own.find(index);
        return it == own.end() ? -1 : it->second;
    };
    return rows;
}

TEST(LastPageTop, RowThatWouldFillTheWindowExactlyIsLeftOut) {
    // Rows 6..9 make 80 pixels; row 5 would make exactly 100.
    EXPECT_EQ(LastPageTop(Rows(10, 20), 9, 100), 6);
    EXPECT_EQ(LastPageTop(Rows(10, 20), 9, 101), 5);
    EXPECT_EQ(LastPageTop(Rows(3, 20), 2, 100), 0);  // everything fits
}

TEST(LastPageTop, TallRowAndEmptyList) {
    EXPECT_EQ(LastPageTop(Rows(10, 20, {{9, 150}}), 9, 100), 9);
    EXPECT_EQ(LastPageTop(Rows(10, 20, {{8, 70}}), 9, 100), 8);
    EXPECT_EQ(LastPageTop(Rows(0, 20), -1, 100), -1);
}

TEST(RowAtOffset, OffsetZeroBelongsToTheRowAbove) {
    RowPosition p = RowAtOffset(Rows(10, 20), 3, 0);
    EXPECT_EQ(p.index, 2);
    EXPECT_EQ(p.top, -20);
}

TEST(RowAtOffset, DownwardOffsetIncludesRowBottom) {
    RowLayout rows = Rows(10, 20);
    EXPECT_EQ(RowAtOffset(rows, 3, -1).index, 3);
    EXPECT_EQ(RowAtOffset(rows, 3, -20).index, 3);
    RowPosition p = RowAtOffset(rows, 3, -21);
    EXPECT_EQ(p.index, 4);
    EXPECT_EQ(p.top, -1);
    // Past the last row the walk goes on with the default height.
    EXPECT_EQ(RowAtOffset(rows, 8, -100).index, 12);
}

TEST(RowAtOffset, UpwardOffsetUsesOwnAndDefaultHeights) {
    RowLayout rows = Rows(10, 20, {{1, 50}});
    RowPosition p = RowAtOffset(rows, 3, 30);  // row 2 (20) then row 1 (50): sum 70
    EXPECT_EQ(p.index, 1);
    EXPECT_EQ(p.top, -40);
    p = RowAtOffset(rows, 0, 25);  // rows -1 and -2 of the default height
    EXPECT_EQ(p.index, -2);
    EXPECT_EQ(p.top, -15);
}

TEST(RowAtOffset, WrapContinuesAtTheOtherEnd) {
    RowLayout rows = Rows(4, 20, {}, true);
    EXPECT_EQ(RowAtOffset(rows, 0, 10).index, 3);
    EXPECT_EQ(RowAtOffset(rows, 3, -30).index, 0);
    EXPECT_EQ(RowAtOffset(rows, 2, -20 * 9 - 1).index, 3);
    // With nothing to wrap onto the indices simply run on.
    EXPECT_EQ(RowAtOffset(Rows(0, 20, {}, true), 0, -45).index, 2);
}

TEST(RowAtOffset, ZeroHeightsDoNotStallTheWalk) {
    RowLayout rows = Rows(5, 0, {{2, 0}});
    EXPECT_EQ(RowAtOffset(rows, 0, -3).index, 2);
    EXPECT_EQ(LastPageTop(rows, 4, 3), 3);  // rows 4 and 3 count 1 each
}

}  // namespace
}  // namespace zentorak
