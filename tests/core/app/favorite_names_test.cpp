#include "core/app/favorite_names.h"

#include <gtest/gtest.h>

#include "core/text/code_page.h"
#include "support/favorite_lists.h"

namespace zentorak {
namespace {

using testing::ListOf;

TEST(FavoriteNames, DuplicatesAreRefusedLetterCaseCounts) {
    FavoriteList list = ListOf({u"Shop", u"東京"});
    std::u16string name = u"Shop";
    std::optional<Notice> refused = AcceptFavoriteName(list, name);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->text, u"指定された名前は既に存在します。別の名前を指定してください。");
    EXPECT_EQ(refused->title, u"お気に入り名エラー");
    EXPECT_EQ(refused->icon, NoticeIcon::kError);
    for (std::u16string other : {u"shop", u"Shop ", u"東", u""}) {
        EXPECT_FALSE(AcceptFavoriteName(list, other).has_value()) << ToUtf8(other);
    }
}

TEST(FavoriteNames, NameIsCutToFortyNineBeforeTheDuplicateCheck) {
    std::u16string long50(49, u'名');
    FavoriteList list = ListOf({long50.c_str()});
    std::u16string entered = long50 + u"X";  // 50: the same name once cut
    EXPECT_TRUE(AcceptFavoriteName(list, entered).has_value());
    EXPECT_EQ(entered.size(), 49u);
    std::u16string shorter(48, u'名');
    EXPECT_FALSE(AcceptFavoriteName(list, shorter).has_value());
    EXPECT_EQ(shorter.size(), 48u);
}

TEST(FavoriteNames, DeleteQuestionShowsAtMostTwentyCharacters) {
    std::u16string twenty = u"一二三四五六七八九十一二三四五六七八九十";
    ASSERT_EQ(twenty.size(), 20u);
    Notice q = DeleteFavoriteQuestion(twenty);
    EXPECT_EQ(q.text, u"'" + twenty + u"'を一覧から削除してもよろしいですか？");
    EXPECT_EQ(q.title, u"お気に入りの削除の確認");
    EXPECT_EQ(q.icon, NoticeIcon::kQuestion);
    EXPECT_TRUE(q.noIsDefault);
    Notice longer = DeleteFavoriteQuestion(twenty + u"ABCDE");  // 25 characters
    EXPECT_EQ(longer.text, u"'" + twenty + u"...'を一覧から削除してもよろしいですか？");
    EXPECT_EQ(DeleteFavoriteQuestion(u"").text, u"''を一覧から削除してもよろしいですか？");
}

TEST(FavoriteNames, RenameChangesOnlyTheName) {
    FavoriteList list = ListOf({u"a", u"b", u"c", u"d", u"e"});
    ASSERT_EQ(RenameFavorite(list, 3, u"新しい名前"), 0);
    EXPECT_EQ(list[3].name, u"新しい名前");
    EXPECT_EQ(list[3].lat, (DmsAngle{35, 3, 0, 0}));
    EXPECT_EQ(list[2].name, u"c");
    EXPECT_EQ(list[4].name, u"e");
    EXPECT_EQ(RenameFavorite(list, 5, u"x"), -101);
    EXPECT_EQ(RenameFavorite(list, -1, u"x"), -101);
    EXPECT_EQ(list.count(), 5);
}

TEST(FavoriteNames, LabelsFromTheCoordinateCaptions) {
    ColumnMap columns;
    EXPECT_EQ(CoordinateLabel(columns, 0), u"緯度:");
    EXPECT_EQ(CoordinateLabel(columns, 1), u"経度:");
    columns.columnCaption[0] = std::u16string(39, u'北');  // 39: cut to 38
    EXPECT_EQ(CoordinateLabel(columns, 0), std::u16string(38, u'北') + u":");
    columns.columnCaption[0] = std::u16string(38, u'北');
    EXPECT_EQ(CoordinateLabel(columns, 0), std::u16string(38, u'北') + u":");
    columns.slot[0] = columns.slot[1] = -1;
    EXPECT_EQ(CoordinateLabel(columns, 0), u"Latitude:");
    EXPECT_EQ(CoordinateLabel(columns, 1), u"Longitude:");
}

}  // namespace
}  // namespace zentorak
