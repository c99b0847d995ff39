#include "geo/dms.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

TEST(ParseDms, FullTextRoundTrips) {
    DmsAngle a;
    ASSERT_EQ(ParseDms(u"35/39/29.123", a), 0);
    EXPECT_EQ(a, (DmsAngle{35, 39, 29, 123}));
    EXPECT_EQ(FormatDms(a), u"35/39/29.123");
}

TEST(GridCellOf, TokyoCell) {
    int row = -1, column = -1;
    ASSERT_EQ(GridCellOf({35, 39, 29, 123}, {139, 45, 5, 7}, row, column), 0);
    EXPECT_EQ(row, 156);
    EXPECT_EQ(column, 177);
}

}  // namespace
}  // namespace zentorak
