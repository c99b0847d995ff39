#include "core/itemlist/item_list_core.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/itemlist/fake_item_list_host.h"

namespace zentorak {
namespace {

using testing::AddRows;
using testing::FakeItemListHost;
using testing::Send;

struct PaintedRow {
    int index, top, height;
    bool isItem;
};

// 10 rows of 20 pixels in a 240 x 100 window; the screen is a QVGA handset (threshold 6).
class ItemListCoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(list.InitStore(), 0); }
    void TearDown() override { list.DestroyStore(); }

    std::vector<PaintedRow> Paint() {
        std::vector<PaintedRow> rows;
        list.PaintRows(host.height, [&](int index, int top, int height, bool isItem) {
            rows.push_back({index, top, height, isItem});
            return MsgResult{0};
        });
        return rows;
    }
    void Tap(int x, int y) {
        Send(list, wm::kLButtonDown, 0, MakePointParam(x, y));
        Send(list, wm::kLButtonUp, 0, MakePointParam(x, y));
    }

    FakeItemListHost host;
    ItemListCore list{host, 20, 240, 320};
};

TEST_F(ItemListCoreTest, TapBelowLastRowPressesNothing) {
    AddRows(list, 3);
    Tap(5, 70);
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), -1);
    EXPECT_EQ(Send(list, ILVM_GETDRAGSTATE), 0);
    Tap(5, 60);  // the bottom pixel row of row 2 still belongs to it
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), 2);
}

TEST_F(ItemListCoreTest, TapOnTopPixelRowPressesTheRowAbove) {
    AddRows(list, 10);
    Tap(5, 0);
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), -1);
    ASSERT_EQ(Send(list, ILVM_SETTOPINDEX, 4), 0);
    Tap(5, 0);
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), 3);
    Tap(5, 1);
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), 4);
}

TEST_F(ItemListCoreTest, PenDownHighlightsTakesFocusAndCapture) {
    AddRows(list, 3);
    Send(list, wm::kLButtonDown, 0, MakePointParam(5, 30));
    EXPECT_TRUE(list.PenDown());
    EXPECT_TRUE(host.captured);
    EXPECT_EQ(host.focusCount, 1);
    EXPECT_EQ(host.invalidations, 1);
    EXPECT_EQ(Send(list, ILVM_CANCELPRESS), 0);
    EXPECT_FALSE(list.PenDown());
    EXPECT_FALSE(host.captured);
}

TEST_F(ItemListCoreTest, DragStartsAtThresholdAndRowsFollow) {
    AddRows(list, 10);
    ASSERT_EQ(list.DragThreshold(), 6);  // max(240, 320) / 50
    Send(list, wm::kLButtonDown, 0, MakePointParam(5, 50));
    Send(list, wm::kMouseMove, 0, MakePointParam(10, 45));  // 5 pixels: still a press
    EXPECT_EQ(Send(list, ILVM_GETDRAGSTATE), 0);
    Send(list, wm::kMouseMove, 0, MakePointParam(5, 44));
    EXPECT_EQ(Send(list, ILVM_GETDRAGSTATE), 1);
    Send(list, wm::kMouseMove, 0, MakePointParam(5, 20));  // content up by 30
    std::vector<PaintedRow> rows = Paint();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].index, 1);
    EXPECT_EQ(rows[0].top, -10);
}

TEST_F(ItemListCoreTest, OwnHeightNeedsTheFlag) {
    AddRows(list, 10);
    EXPECT_EQ(Send(list, ILVM_SETITEMHEIGHT, 0, 100), 0);
    EXPECT_EQ(Paint()[1].top, 20);
    EXPECT_EQ(Send(list, ILVM_GETITEMHEIGHT, 0), 20);
    EXPECT_EQ(Send(list, ILVM_SETITEMFLAGS, 0, ILVIF_OWNHEIGHT), 0);
    EXPECT_EQ(Paint()[0].height, 100);
    EXPECT_EQ(Paint().size(), 1u);
    EXPECT_EQ(Send(list, ILVM_GETITEMHEIGHT, 0), 100);
}

TEST_F(ItemListCoreTest, HeightAndRectOutsideTheItemsUseDefault) {
    AddRows(list, 2);
    EXPECT_EQ(Send(list, ILVM_GETITEMHEIGHT, 5), 20);
    EXPECT_EQ(Send(list, ILVM_GETITEMHEIGHT, static_cast<MsgWParam>(-1)), 20);
    EXPECT_EQ(Send(list, ILVM_SETITEMHEIGHT, static_cast<MsgWParam>(-1), 24), 0);
    EXPECT_EQ(Send(list, ILVM_GETITEMHEIGHT, 7), 24);
    ItemRect rect{};
    EXPECT_EQ(Send(list, ILVM_GETITEMRECT, 9, reinterpret_cast<MsgLParam>(&rect)), 0);
    EXPECT_EQ(rect.right, 240);
    EXPECT_EQ(rect.bottom, 24);
    EXPECT_EQ(Send(list, ILVM_SETITEMHEIGHT, 5, 24), -100);
}

TEST_F(ItemListCoreTest, EmptyListPaintsEmptyRowsAndKeepsTopAtZero) {
    std::vector<PaintedRow> rows = Paint();
    ASSERT_EQ(rows.size(), 5u);
    for (const PaintedRow& row : rows) {
        EXPECT_FALSE(row.isItem);
    }
    Send(list, wm::kKeyDown, vk::kEnd);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 0);
    Send(list, wm::kSize);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 0);
    EXPECT_EQ(host.updates, 0);
}

TEST_F(ItemListCoreTest, KeysScrollWithoutMovingThePress) {
    AddRows(list, 10);
    Tap(5, 30);
    Send(list, wm::kKeyDown, vk::kEnd);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 6);
    EXPECT_EQ(host.updates, 1);
    Send(list, wm::kKeyDown, vk::kDown);
    Send(list, wm::kKeyDown, vk::kDown);
    Send(list, wm::kKeyDown, vk::kDown);
    Send(list, wm::kKeyDown, vk::kDown);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 9);  // stops at the last row
    Send(list, wm::kKeyDown, vk::kUp);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 8);
    Send(list, wm::kKeyDown, vk::kLeft);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 8);
    Send(list, wm::kKeyDown, vk::kHome);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 0);
    Send(list, wm::kKeyDown, vk::kUp);
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 0);
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), 1);
}

TEST_F(ItemListCoreTest, GrowingWindowPullsTopBackToLastPage) {
    AddRows(list, 10);
    ASSERT_EQ(Send(list, ILVM_SETTOPINDEX, 8), 0);
    host.height = 150;  // rows 3..9 fit in 140 pixels
    Send(list, wm::kSize, 0, MakePointParam(240, 150));
    EXPECT_EQ(Send(list, ILVM_GETTOPINDEX), 3);
    EXPECT_EQ(host.updates, 1);
}

TEST_F(ItemListCoreTest, ColoursFlagsAndIndexSetters) {
    EXPECT_EQ(Send(list, ILVM_GETCOLOR), 0xE0E0E0);
    EXPECT_EQ(Send(list, ILVM_GETCOLOR + 2 * 9), 0xDCDCDC);
    EXPECT_EQ(Send(list, ILVM_SETCOLOR + 2 * 4, 0, 0x123456), 0);
    EXPECT_EQ(Send(list, ILVM_GETCOLOR + 2 * 4), 0x123456);
    EXPECT_EQ(list.Color(4), 0x123456u);
    EXPECT_EQ(Send(list, ILVM_SETFLAGS, 0xFF, ILVF_SHADOW | 1), 0);
    EXPECT_EQ(Send(list, ILVM_SETFLAGS, ILVF_WRAP, ILVF_WRAP), 0);
    EXPECT_EQ(Send(list, ILVM_GETFLAGS, 0xFF), MsgResult{ILVF_SHADOW | ILVF_WRAP | 1});
    EXPECT_EQ(Send(list, ILVM_GETFLAGS, ILVF_WRAP), MsgResult{ILVF_WRAP});
    AddRows(list, 2);
    EXPECT_EQ(Send(list, ILVM_SETTOPINDEX, 2), -1);
    EXPECT_EQ(Send(list, ILVM_SETPRESSED, static_cast<MsgWParam>(-1)), -1);
    EXPECT_EQ(Send(list, ILVM_SETPRESSED, 1), 0);
    EXPECT_EQ(Send(list, ILVM_GETPRESSED), 1);
}

MsgResult CountsTwelve(void*, MsgLParam, MsgLParam, MsgLParam) {
    return 12;
}

TEST_F(ItemListCoreTest, ReplacedSlotIsUsedEverywhere) {
    auto previous = Send(list, ILVM_GETCALLBACK, kSlotCount);
    EXPECT_EQ(previous, reinterpret_cast<MsgResult>(kDefaultStoreSlots[kSlotCount]));
    EXPECT_EQ(Send(list, ILVM_SETCALLBACK, kSlotCount, reinterpret_cast<MsgLParam>(&CountsTwelve)),
              0);
    EXPECT_EQ(Send(list, ILVM_GETCOUNT), 12);
    EXPECT_TRUE(Paint()[0].isItem);  // painting asks the slot, not the store
    EXPECT_EQ(Send(list, ILVM_SETCALLBACK, 20, 0), -1);
    Send(list, ILVM_SETCALLBACK, kSlotCount, previous);
}

TEST_F(ItemListCoreTest, FailingDrawSlotEndsThePass) {
    AddRows(list, 10);
    int calls = 0;
    MsgResult r = list.PaintRows(
        100, [&](int, int, int, bool) { return ++calls == 2 ? MsgResult{-100} : MsgResult{0}; });
    EXPECT_EQ(r, -100);
    EXPECT_EQ(calls, 2);
}

TEST_F(ItemListCoreTest, InsertAtCountIsRefused) {
    AddRows(list, 2);
    InertListItem item{0, 0, const_cast<char16_t*>(u"x")};
    EXPECT_EQ(Send(list, ILVM_INSERTITEM, 2, reinterpret_cast<MsgLParam>(&item)), -100);
    EXPECT_EQ(Send(list, ILVM_ADDITEM, 0, reinterpret_cast<MsgLParam>(&item)), 0);
    EXPECT_EQ(Send(list, ILVM_GETCOUNT), 3);
    EXPECT_EQ(Send(list, ILVM_FINDITEM, 0, reinterpret_cast<MsgLParam>(&item)), 2);
}

}  // namespace
}  // namespace zentorak

namespace zentorak {
namespace {

TEST(TextFormatFromStyle, FirstBitOfEachPairWins) {
    struct Row {
        std::uint32_t style, format;
    };
    const Row rows[] = {
        {0x00, DT_NOPREFIX},
        {0x10, DT_WORDBREAK | DT_NOPREFIX},  // the details list: wrapped, left and top
        {0x03, DT_CENTER | DT_NOPREFIX},
        {0x02, DT_RIGHT | DT_NOPREFIX},
        {0x0C, DT_VCENTER | DT_NOPREFIX},
        {0x08, DT_BOTTOM | DT_NOPREFIX},
        {0x30, DT_WORDBREAK | DT_NOPREFIX},
        {0x20, DT_SINGLELINE | DT_NOPREFIX},
        {0xC0, DT_END_ELLIPSIS | DT_NOPREFIX},
        {0x80, DT_WORD_ELLIPSIS | DT_NOPREFIX},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TextFormatFromStyle(row.style), row.format) << "style " << row.style;
    }
}

}  // namespace
}  // namespace zentorak
