#include "core/targets/favorite_list.h"

#include <gtest/gtest.h>

namespace zentorak {
namespace {

FavoriteRecord Named(const std::u16string& name, int deg = 35) {
    return FavoriteRecord{{deg, 1, 2, 3}, {139, 4, 5, 6}, name};
}

TEST(FavoriteList, GrowsInStepsOfTenAndKeepsOrder) {
    FavoriteList list;
    EXPECT_EQ(list.capacity(), 0u);
    ASSERT_EQ(AddFavorite(list, Named(u"一")), 0);
    EXPECT_EQ(list.capacity(), 10u);
    for (int i = 1; i < 10; ++i) {
        ASSERT_EQ(AddFavorite(list, Named(u"f", 30 + i)), 0);
    }
    EXPECT_EQ(list.capacity(), 10u);
    ASSERT_EQ(AddFavorite(list, Named(u"十一")), 0);
    EXPECT_EQ(list.capacity(), 20u);
    EXPECT_EQ(list.count(), 11);
    EXPECT_EQ(list[10].name, u"十一");
    EXPECT_EQ(list[0].name, u"一");
    EXPECT_EQ(list[3].lat.deg, 33);
}

TEST(FavoriteList, CopiesTheBorrowedName) {
    FavoriteList list;
    FavoriteRecord record = Named(u"店");
    ASSERT_EQ(AddFavorite(list, record), 0);
    record.name = u"changed";
    EXPECT_EQ(list[0].name, u"店");
}

TEST(FavoriteList, RemovingTheFirstMovesTheOthersDown) {
    FavoriteList list;
    AddFavorite(list, Named(u"a", 31));
    AddFavorite(list, Named(u"b", 32));
    AddFavorite(list, Named(u"c", 33));
    ASSERT_EQ(RemoveFavorite(list, 0), 0);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list[0].name, u"b");
    EXPECT_EQ(list[0].lat.deg, 32);
    EXPECT_EQ(list[1].name, u"c");
    EXPECT_EQ(list[1].lat.deg, 33);
}

TEST(FavoriteList, RemoveOutsideTheListChangesNothing) {
    FavoriteList list;
    AddFavorite(list, Named(u"a"));
    AddFavorite(list, Named(u"b"));
    EXPECT_EQ(RemoveFavorite(list, 2), -101);
    EXPECT_EQ(RemoveFavorite(list, -1), -101);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list[1].name, u"b");
    FavoriteList empty;
    EXPECT_EQ(RemoveFavorite(empty, 0), -101);
}

}  // namespace
}  // namespace zentorak
