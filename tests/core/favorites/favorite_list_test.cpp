#include "core/favorites/favorite_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>

#include "core/resources/menu_tables.h"
#include "core/resources/resource_ids.h"

namespace zentorak {
namespace {

FavoriteRecord Named(const std::u16string& name, int deg = 35) {
    return FavoriteRecord{{deg, 1, 2, 3}, {139, 4, 5, 6}, name};
}

TEST(FavoriteList, FirstTenThenTwentyAndKeepsOrder) {
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

// A settings file may hold a hundred thousand favourites; growing by a fixed step copied the
// whole list every ten, which took seconds. The capacity now doubles: few growths, little slack.
TEST(FavoriteList, GrowsGeometricallyForLargeCounts) {
    FavoriteList list;
    int growths = 0;
    size_t capacity = 0;
    for (int i = 0; i < 100000; ++i) {
        ASSERT_EQ(AddFavorite(list, Named(u"f", 30 + i % 10)), 0);
        if (list.capacity() != capacity) {
            ++growths;
            capacity = list.capacity();
        }
    }
    EXPECT_EQ(list.count(), 100000);
    EXPECT_LE(growths, 15);  // 10, 20, 40, ... 163840
    EXPECT_LT(list.capacity(), 2u * 100000);
    EXPECT_EQ(list[99999].lat.deg, 39);
}

// Favourite menu ids run from 2001 and must stop below the program's first command above them
// (32771 更新): from the 30,771st favourite on, 2000 + n would be 更新, then every other command.
TEST(FavoriteMenu, IdsStopBelowTheProgramsCommands) {
    EXPECT_EQ(kMaxMenuFavorites, 30770);
    EXPECT_EQ(FavoriteCommandOf(0), 2001);
    EXPECT_EQ(FavoriteCommandOf(kMaxMenuFavorites - 1), 32770);
    EXPECT_EQ(FavoriteCommandOf(kMaxMenuFavorites), 0);
    EXPECT_EQ(FavoriteCommandOf(-1), 0);
    EXPECT_EQ(FavoriteIndexOfCommand(2001, 3), 0);
    EXPECT_EQ(FavoriteIndexOfCommand(2003, 3), 2);
    EXPECT_EQ(FavoriteIndexOfCommand(2004, 3), -1);
    EXPECT_EQ(FavoriteIndexOfCommand(2000, 3), -1);
    EXPECT_EQ(FavoriteIndexOfCommand(32770, 40000), 30769);
    for (int id : {res::ID_UPDATE, res::ID_POSITION_READY, res::ID_QUIT, res::ID_ABOUT}) {
        EXPECT_EQ(FavoriteIndexOfCommand(id, 100000), -1) << id;
    }
}

// Every command of the menus and every other command id lies outside the favourites' range.
TEST(FavoriteMenu, NoCommandOfTheProgramFallsInTheFavouritesRange) {
    std::vector<int> ids = {res::ID_MENU_BUTTON,
                            res::ID_POSITION_READY,
                            res::ID_QUIT,
                            res::ID_ABOUT,
                            res::ID_ADD_FAVORITE,
                            res::ID_ORGANIZE_FAVORITES,
                            res::IDC_LOG,
                            res::IDC_RESULTS,
                            res::IDC_SEARCH_CAPTION,
                            res::IDC_SEARCH_FIRST_LABEL + 2 * 8 + 1};
    std::function<void(std::span<const res::MenuItem>)> collect =
        [&](std::span<const res::MenuItem> items) {
            for (const res::MenuItem& item : items) {
                ids.push_back(item.id);
                collect(item.children);
            }
        };
    collect(res::MainMenu());
    collect(res::RadarMenu());
    collect(res::ListMenu());
    ASSERT_GT(ids.size(), 20u);
    for (int id : ids) {
        EXPECT_TRUE(id <= kFavoriteCommandBase || id > kLastFavoriteCommand) << id;
    }
}

TEST(FavoriteMenu, FullAtTheLastFreeId) {
    FavoriteList list;
    for (int i = 0; i < kMaxMenuFavorites - 1; ++i) {
        AddFavorite(list, Named(u"f"));
    }
    EXPECT_FALSE(FavoriteMenuFull(list));
    AddFavorite(list, Named(u"last"));
    EXPECT_TRUE(FavoriteMenuFull(list));
    // The list itself takes more (the settings file may hold more than the menu).
    EXPECT_EQ(AddFavorite(list, Named(u"beyond")), 0);
    EXPECT_EQ(list.count(), kMaxMenuFavorites + 1);
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
