#include "gui/dialogs/details_dialog.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "gui/dialogs/modal_helper.h"

namespace zentorak::testing {
namespace {

constexpr auto kMinusOne = static_cast<MsgWParam>(-1);

class DetailsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RegisterItemListClass(), 0); }
    DetailsActions Actions() {
        return {[this] { done.push_back("favourite"); }, [this] { done.push_back("map"); },
                [this] { done.push_back("call"); }};
    }
    static QPushButton* Button(QWidget& dialog, int id) {
        return dialog.findChild<QPushButton*>(QString::number(id));
    }
    std::vector<DetailsRow> rows{{u"店名", u"店A", true},
                                 {u"住所", u"", false},
                                 {u"緯度", u"35/40/10.500", true},
                                 {u"経度", u"139/46/20.000", true}};
    std::vector<std::string> done;
};

TEST_F(DetailsDialogTest, CompactFormListsCaptionAndValue) {
    Dpi dpi{192, 192};
    CompactDetailsDialog dialog(nullptr, rows, Actions(), dpi);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("詳細情報"));
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("項目"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("値"));
    EXPECT_EQ(list->headerItem()->text(2), QString());
    EXPECT_EQ(list->columnWidth(1), dpi.ScaleX(400));
    EXPECT_EQ(list->columnWidth(2), dpi.ScaleX(50));
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("住所"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QString());
    EXPECT_EQ(list->topLevelItem(3)->text(1), QStringLiteral("139/46/20.000"));
    EXPECT_GE(list->columnWidth(0), QFontMetrics(list->font()).horizontalAdvance("住所"));
}

TEST_F(DetailsDialogTest, CompactFormClosesOnEnterInTheList) {
    WhenModal<CompactDetailsDialog>([this](CompactDetailsDialog& d) {
        Button(d, 1104)->click();
        QTest::keyClick(d.List(), Qt::Key_Return);
    });
    EXPECT_EQ(RunDetailsDialog(nullptr, DetailsForm::kCompact, rows, Actions(), Dpi{}), 1);
    EXPECT_EQ(done, (std::vector<std::string>{"map"}));
    WhenModal<CompactDetailsDialog>([](CompactDetailsDialog& d) { d.reject(); });
    EXPECT_EQ(RunDetailsDialog(nullptr, DetailsForm::kCompact, rows, Actions(), Dpi{}), 0);
    // DtlDlgMode outside 1 and 2: nothing opens.
    EXPECT_EQ(RunDetailsDialog(nullptr, DetailsForm::kNone, rows, Actions(), Dpi{}), 0);
}

TEST_F(DetailsDialogTest, FullScreenFormShowsOneItemPerRowAndItsButtons) {
    FullScreenDetailsDialog dialog(nullptr, rows, Actions());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("店舗情報"));
    EXPECT_EQ(dialog.DoneButton()->text(), QStringLiteral("閉じる"));
    ItemListView* list = dialog.List();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->TextFormat() & DT_WORDBREAK, DT_WORDBREAK);
    ASSERT_EQ(list->SendMessage(ILVM_GETCOUNT), 4);
    std::vector<std::u16string> texts;
    for (MsgWParam i = 0; i < 4; ++i) {
        InertListItem item;
        ASSERT_EQ(list->SendMessage(ILVM_GETITEM, i, reinterpret_cast<MsgLParam>(&item)), 0);
        texts.emplace_back(item.text);
        list->SendMessage(ILVM_FREEITEM, 0, reinterpret_cast<MsgLParam>(&item));
    }
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"店名:店A", u"住所:", u"緯度:35/40/10.500",
                                                  u"経度:139/46/20.000"}));
    EXPECT_EQ(Button(dialog, 1103)->text(), QStringLiteral("お気に入りに追加..."));
    EXPECT_EQ(Button(dialog, 1104)->text(), QStringLiteral("地図表示"));
    EXPECT_EQ(Button(dialog, 1102)->text(), QStringLiteral("電話"));
    Button(dialog, 1103)->click();
    Button(dialog, 1102)->click();
    EXPECT_EQ(done, (std::vector<std::string>{"favourite", "call"}));
}

TEST_F(DetailsDialogTest, TapsOpenAndCloseRowsADragChangesNothing) {
    FullScreenDetailsDialog dialog(nullptr, rows, Actions());
    dialog.resize(240, 400);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ItemListView* list = dialog.List();
    auto height = [list](MsgWParam row) { return list->SendMessage(ILVM_GETITEMHEIGHT, row); };
    MsgResult h = list->SendMessage(ILVM_GETITEMHEIGHT, kMinusOne);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(10, h + h / 2));  // row 1
    EXPECT_EQ(height(1), 5 * h);
    EXPECT_EQ(height(0), h);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(10, h + h / 2));
    EXPECT_EQ(height(1), h);
    // A drag over row 0 leaves it as it is.
    QTest::mousePress(list, Qt::LeftButton, {}, QPoint(10, h / 2));
    QTest::mouseMove(list, QPoint(10, h / 2 + 60));
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(10, h / 2 + 60));
    EXPECT_EQ(height(0), h);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->SendMessage(ILVM_GETDRAGSTATE) == 0; }, 6000));
    // Below the last row: every row opens.
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(10, list->height() - 3));
    for (MsgWParam row = 0; row < 4; ++row) {
        EXPECT_EQ(height(row), 5 * h) << row;
    }
}

TEST_F(DetailsDialogTest, CloseButtonEndsWithOk) {
    WhenModal<FullScreenDetailsDialog>([](FullScreenDetailsDialog& d) { d.DoneButton()->click(); });
    EXPECT_EQ(RunDetailsDialog(nullptr, DetailsForm::kFullScreen, rows, Actions(), Dpi{}), 1);
}

}  // namespace
}  // namespace zentorak::testing
