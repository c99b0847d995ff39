#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/app/favorite_names.h"
#include "gui/app/app_fixture.h"
#include "gui/dialogs/favorite_name_dialog.h"
#include "gui/dialogs/modal_helper.h"
#include "gui/dialogs/organize_favorites_dialog.h"
#include "support/favorite_lists.h"

namespace zentorak::testing {
namespace {

QString TextOf(const QWidget& dialog, int id) {
    auto* label = dialog.findChild<QLabel*>(QString::number(id));
    return label != nullptr ? label->text() : QStringLiteral("(none)");
}

class NameDialog : public ::testing::Test {
protected:
    FavoriteRecord candidate{{35, 39, 29, 123}, {139, 45, 5, 7}, u"店A"};
    ColumnMap columns;
    FavoriteList favorites = ListOf({u"Shop", u"東京"});
    MessageRecorder messages;
};

TEST_F(NameDialog, ShowsThePositionUnderTheColumnCaptions) {
    FavoriteNameDialog dialog(nullptr, u"お気に入りの追加", candidate, columns, favorites, Dpi{});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("お気に入りの追加"));
    EXPECT_EQ(TextOf(dialog, 1304), QStringLiteral("緯度:"));
    EXPECT_EQ(TextOf(dialog, 1301), QStringLiteral("35/39/29"));
    EXPECT_EQ(TextOf(dialog, 1305), QStringLiteral("経度:"));
    EXPECT_EQ(TextOf(dialog, 1302), QStringLiteral("139/45/05"));
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("店A"));
    // A file without coordinate captions: the fixed English labels.
    columns.slot[0] = columns.slot[1] = -1;
    FavoriteNameDialog bare(nullptr, u"お気に入り名の変更", candidate, columns, favorites, Dpi{});
    EXPECT_EQ(bare.windowTitle(), QStringLiteral("お気に入り名の変更"));
    EXPECT_EQ(TextOf(bare, 1304), QStringLiteral("Latitude:"));
    EXPECT_EQ(TextOf(bare, 1305), QStringLiteral("Longitude:"));
}

TEST_F(NameDialog, AnExistingNameIsRefusedAndTheDialogStaysOpen) {
    FavoriteNameDialog dialog(nullptr, u"お気に入りの追加", candidate, columns, favorites, Dpi{});
    dialog.show();
    dialog.NameEdit()->setText(QStringLiteral("Shop"));
    dialog.OkButton()->click();
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0],
              QStringLiteral("指定された名前は既に存在します。別の名前を指定してください。"),
              QStringLiteral("お気に入り名エラー"), NoticeIcon::kError);
    EXPECT_TRUE(dialog.isVisible());
    // Another letter case is another name.
    dialog.NameEdit()->setText(QStringLiteral("shop"));
    dialog.OkButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.Name(), u"shop");
    EXPECT_EQ(messages.records.size(), 1u);
}

TEST_F(NameDialog, TakesFortyNineCharactersAndAnEmptyName) {
    FavoriteRecord record = candidate;
    record.name.clear();
    WhenModal<FavoriteNameDialog>([](FavoriteNameDialog& d) {
        QTest::keyClicks(d.NameEdit(), QString(60, QLatin1Char('x')));
        d.OkButton()->click();
    });
    ASSERT_EQ(
        RunFavoriteNameDialog(nullptr, u"お気に入りの追加", record, columns, favorites, Dpi{}), 1);
    EXPECT_EQ(record.name, std::u16string(49, u'x'));
    WhenModal<FavoriteNameDialog>([](FavoriteNameDialog& d) { d.OkButton()->click(); });
    record.name.clear();
    EXPECT_EQ(
        RunFavoriteNameDialog(nullptr, u"お気に入りの追加", record, columns, favorites, Dpi{}), 1);
    EXPECT_EQ(record.name, u"");
    WhenModal<FavoriteNameDialog>([](FavoriteNameDialog& d) { d.CancelButton()->click(); });
    record.name = u"残る";
    EXPECT_EQ(
        RunFavoriteNameDialog(nullptr, u"お気に入りの追加", record, columns, favorites, Dpi{}), 0);
    EXPECT_EQ(record.name, u"残る");
}

class OrganizeDialog : public ::testing::Test {
protected:
    void Select(OrganizeFavoritesDialog& dialog, int row) {
        dialog.List()->setCurrentRow(row);
        ASSERT_TRUE(dialog.List()->item(row)->isSelected());
    }
    FavoriteList favorites =
        ListOf({u"東京", u"一二三四五六七八九十一二三四五六七八九十ABCDE", u"大阪"});
    std::vector<int> renamed, removed;
    OrganizeActions actions{[this](int i) {
                                renamed.push_back(i);
                                return RenameFavorite(favorites, i, u"新名") == 0;
                            },
                            [this](int i) {
                                removed.push_back(i);
                                return RemoveFavorite(favorites, i) == 0;
                            }};
    MessageRecorder messages;
};

TEST_F(OrganizeDialog, ButtonsWorkOnlyWithARowSelected) {
    OrganizeFavoritesDialog dialog(nullptr, favorites, actions);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("お気に入りの整理"));
    ASSERT_EQ(dialog.List()->count(), 3);
    EXPECT_EQ(dialog.List()->item(2)->text(), QStringLiteral("大阪"));
    EXPECT_FALSE(dialog.RenameButton()->isEnabled());
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
    Select(dialog, 2);
    EXPECT_TRUE(dialog.RenameButton()->isEnabled());
    EXPECT_TRUE(dialog.DeleteButton()->isEnabled());
    dialog.RenameButton()->click();
    EXPECT_EQ(renamed, (std::vector<int>{2}));
    EXPECT_EQ(dialog.List()->item(2)->text(), QStringLiteral("新名"));
    dialog.List()->clearSelection();
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
}

TEST_F(OrganizeDialog, DeleteAsksWithTheNameCutToTwentyAndNoAsDefault) {
    OrganizeFavoritesDialog dialog(nullptr, favorites, actions);
    Select(dialog, 1);
    messages.answers = {kAnswerNo};
    dialog.DeleteButton()->click();
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(
        messages.records[0].text,
        QStringLiteral("'一二三四五六七八九十一二三四五六七八九十...'を一覧から削除してもよろしい"
                       "ですか？"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("お気に入りの削除の確認"));
    EXPECT_EQ(messages.records[0].icon, NoticeIcon::kQuestion);
    EXPECT_EQ(messages.records[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_TRUE(removed.empty());
    EXPECT_EQ(dialog.List()->count(), 3);

    Select(dialog, 0);
    messages.answers = {kAnswerYes};
    dialog.DeleteButton()->click();
    EXPECT_EQ(messages.records.back().text,
              QStringLiteral("'東京'を一覧から削除してもよろしいですか？"));
    EXPECT_EQ(removed, (std::vector<int>{0}));
    ASSERT_EQ(dialog.List()->count(), 2);
    EXPECT_EQ(dialog.List()->item(0)->text().left(3), QStringLiteral("一二三"));
    EXPECT_EQ(dialog.List()->item(1)->text(), QStringLiteral("大阪"));
}

}  // namespace
}  // namespace zentorak::testing
