#include "core/app/details_rows.h"

#include <gtest/gtest.h>

#include "core/itemlist/fake_item_list_host.h"
#include "core/text/code_page.h"
#include "support/temp_folder.h"

namespace zentorak {

void PrintTo(const DetailsRow& row, std::ostream* os) {
    *os << ToUtf8(row.caption) << ":" << ToUtf8(row.value) << (row.present ? "" : " (absent)");
}

namespace {

using testing::FakeItemListHost;
using testing::TempFolder;

// A file whose header names four columns; the second line stops before the address.
class DetailsRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::u16string text =
            u"緯度,経度,店名,住所\r\n"
            u"35/40/10.500,139/46/20.000,店A,東京都新宿区\r\n"
            u"35/40/00.000,139/46/00.000,店B\r\n";
        ASSERT_EQ(LoadLocationInfoFile(grid, columns, folder.Write("t.csv", EncodeCp932(text))), 0);
        ASSERT_EQ(found.Allocate(3), 0);
        ASSERT_EQ(SearchNearest(grid, {35, 40, 10, 500}, {139, 46, 20, 0}, 2, found), 0);
        ASSERT_EQ(found.count, 2);
    }
    TempFolder folder;
    TargetGrid grid;
    ColumnMap columns;
    FoundTargets found;
};

TEST_F(DetailsRowsTest, FourCaptionsGiveFourRowsCoordinatesLast) {
    std::vector<DetailsRow> rows = DetailsRows(columns, *found.targets[0]);
    EXPECT_EQ(rows, (std::vector<DetailsRow>{{u"店名", u"店A", true},
                                             {u"住所", u"東京都新宿区", true},
                                             {u"緯度", u"35/40/10.500", true},
                                             {u"経度", u"139/46/20.000", true}}));
    std::vector<DetailsRow> shorter = DetailsRows(columns, *found.targets[1]);
    ASSERT_EQ(shorter.size(), 4u);
    EXPECT_EQ(shorter[1], (DetailsRow{u"住所", u"", false}));
    // The full-screen texts: the caption and a colon alone where the item is missing.
    EXPECT_EQ(DetailsItemText(shorter[0]), u"店名:店B");
    EXPECT_EQ(DetailsItemText(shorter[1]), u"住所:");
    EXPECT_EQ(DetailsItemText(shorter[3]), u"経度:139/46/00.000");
}

TEST_F(DetailsRowsTest, FormsAndTheTargetsPlaceAfterAnotherSearch) {
    Settings settings;
    EXPECT_EQ(DetailsFormFor(settings), DetailsForm::kFullScreen);
    settings.DtlDlgMode = 1;
    EXPECT_EQ(DetailsFormFor(settings), DetailsForm::kCompact);
    settings.DtlDlgMode = 3;
    EXPECT_EQ(DetailsFormFor(settings), DetailsForm::kNone);
    const TargetRecord* a = found.targets[0];
    const TargetRecord* b = found.targets[1];
    ASSERT_EQ(SearchNearest(grid, {35, 40, 0, 0}, {139, 46, 0, 0}, 1, found), 0);
    EXPECT_EQ(CurrentIndexOf(found, b), 0);
    EXPECT_EQ(CurrentIndexOf(found, a), -1);
}

// The tap rule on the control's own core, rows of the default height 20.
class DetailsTap : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(list.InitStore(), 0);
        testing::AddRows(list, 3);
    }
    void TearDown() override { list.DestroyStore(); }
    void TapAt(int y) {
        testing::Send(list, wm::kLButtonDown, 0, MakePointParam(10, y));
        testing::Send(list, wm::kLButtonUp, 0, MakePointParam(10, y));
        EXPECT_TRUE(ApplyDetailsTap(send));
    }
    MsgResult Height(int row) {
        return testing::Send(list, ILVM_GETITEMHEIGHT, static_cast<MsgWParam>(row));
    }
    FakeItemListHost host;
    ItemListCore list{host, 20, 240, 320};
    ItemListSend send = [this](std::uint32_t m, MsgWParam w, MsgLParam l) {
        return testing::Send(list, m, w, l);
    };
};

TEST_F(DetailsTap, RowTogglesBetweenOneAndFiveHeights) {
    TapAt(25);  // row 1
    EXPECT_EQ(Height(1), 100);
    EXPECT_EQ(testing::Send(list, ILVM_GETITEMFLAGS, 1), static_cast<MsgResult>(ILVIF_OWNHEIGHT));
    EXPECT_EQ(Height(0), 20);
    TapAt(25 + 80);  // still row 1, now five times as high
    EXPECT_EQ(Height(1), 20);
    EXPECT_EQ(testing::Send(list, ILVM_GETITEMFLAGS, 1), 0);
}

TEST_F(DetailsTap, TapBelowTheLastRowOpensEveryRow) {
    TapAt(25);   // row 1 open already: it stays open
    TapAt(300);  // row 2 ends at 140 now; below it nothing
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Height(row), 100) << row;
    }
    TapAt(300);  // no toggle below the rows: they stay open
    EXPECT_EQ(Height(0), 100);
}

TEST_F(DetailsTap, OtherFlagBitsSurviveTheToggle) {
    testing::Send(list, ILVM_SETITEMFLAGS, 0, 0x100);
    TapAt(5);
    EXPECT_EQ(testing::Send(list, ILVM_GETITEMFLAGS, 0),
              static_cast<MsgResult>(0x100 | ILVIF_OWNHEIGHT));
    TapAt(5);
    EXPECT_EQ(testing::Send(list, ILVM_GETITEMFLAGS, 0), 0x100);
}

TEST(DetailsTapDrag, ADragChangesNoRow) {
    std::vector<std::uint32_t> asked;
    ItemListSend dragged = [&](std::uint32_t m, MsgWParam, MsgLParam) -> MsgResult {
        asked.push_back(m);
        return m == ILVM_GETDRAGSTATE ? 1 : 0;
    };
    EXPECT_FALSE(ApplyDetailsTap(dragged));
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{ILVM_GETDRAGSTATE}));
}

}  // namespace
}  // namespace zentorak
