#include "core/itemlist/item_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace zentorak {
namespace {

class ItemStoreTest : public ::testing::Test {
protected:
    void SetUp() override { Call(kSlotInitStore); }
    void TearDown() override { Call(kSlotDestroyStore); }

    MsgResult Call(int slot, MsgLParam a = 0, MsgLParam b = 0) {
        return kDefaultStoreSlots[slot](&store, a, b, 0);
    }
    MsgResult Add(const char16_t* text, std::uint32_t flags = 0, int height = 0) {
        InertListItem item{flags, height, const_cast<char16_t*>(text)};
        return Call(kSlotAppend, reinterpret_cast<MsgLParam>(&item));
    }
    std::u16string TextAt(int index) {
        auto* text = reinterpret_cast<char16_t*>(Call(kSlotGetText, index));
        std::u16string copy = text != nullptr ? text : u"<null>";
        FreeItemText(text);
        return copy;
    }

    InertItemStore store;
};

TEST_F(ItemStoreTest, GrowsByStepAndKeepsInsertionOrder) {
    for (int i = 0; i < 41; ++i) {
        ASSERT_EQ(Add(u"x"), 0);
    }
    EXPECT_EQ(store.count, 41);
    EXPECT_EQ(store.capacity, 60);
    EXPECT_EQ(Call(kSlotCount), 41);
}

TEST_F(ItemStoreTest, InsertOnlyBeforeExistingRows) {
    Add(u"a");
    Add(u"c");
    InertListItem b{0, 0, const_cast<char16_t*>(u"b")};
    EXPECT_EQ(Call(kSlotInsert, 2, reinterpret_cast<MsgLParam>(&b)), -100);  // at count
    EXPECT_EQ(Call(kSlotInsert, -1, reinterpret_cast<MsgLParam>(&b)), -100);
    EXPECT_EQ(Call(kSlotInsert, 1, reinterpret_cast<MsgLParam>(&b)), 0);
    EXPECT_EQ(TextAt(0) + TextAt(1) + TextAt(2), u"abc");
    EXPECT_EQ(Call(kSlotDelete, 0), 0);
    EXPECT_EQ(Call(kSlotDelete, 2), -100);
    EXPECT_EQ(TextAt(0) + TextAt(1), u"bc");
}

TEST_F(ItemStoreTest, FindIsExactAndStartsAtTheGivenIndex) {
    Add(u"東京駅");
    Add(nullptr);
    Add(u"東京");
    Add(u"東京");
    InertListItem key{0, 0, const_cast<char16_t*>(u"東京")};
    auto k = reinterpret_cast<MsgLParam>(&key);
    EXPECT_EQ(Call(kSlotFind, 0, k), 2);
    EXPECT_EQ(Call(kSlotFind, 3, k), 3);
    EXPECT_EQ(Call(kSlotFind, -5, k), 2);
    EXPECT_EQ(Call(kSlotFind, 4, k), -100);
    InertListItem missing{0, 0, const_cast<char16_t*>(u"東")};
    EXPECT_EQ(Call(kSlotFind, 0, reinterpret_cast<MsgLParam>(&missing)), -1);
    InertListItem empty{0, 0, const_cast<char16_t*>(u"")};
    EXPECT_EQ(Call(kSlotFind, 0, reinterpret_cast<MsgLParam>(&empty)), -1);  // no text != ""
}

TEST_F(ItemStoreTest, EmptyStoreFindFromNegativeStartIsNotFound) {
    InertListItem key{0, 0, const_cast<char16_t*>(u"a")};
    EXPECT_EQ(Call(kSlotFind, -1, reinterpret_cast<MsgLParam>(&key)), -1);
    EXPECT_EQ(Call(kSlotFind, 0, reinterpret_cast<MsgLParam>(&key)), -100);
}

TEST_F(ItemStoreTest, ReplaceReadAndReleaseCopyTheText) {
    Add(u"old");
    std::u16string buffer = u"new";
    InertListItem next{ILVIF_OWNHEIGHT, 33, buffer.data()};
    EXPECT_EQ(Call(kSlotReplace, 0, reinterpret_cast<MsgLParam>(&next)), 0);
    buffer[0] = u'N';  // the store keeps its own copy
    InertListItem out;
    EXPECT_EQ(Call(kSlotRead, 0, reinterpret_cast<MsgLParam>(&out)), 0);
    EXPECT_EQ(out.flags, ILVIF_OWNHEIGHT);
    EXPECT_EQ(out.height, 33);
    EXPECT_EQ(std::u16string(out.text), u"new");
    EXPECT_EQ(Call(kSlotRelease, reinterpret_cast<MsgLParam>(&out)), 0);
    EXPECT_EQ(out.text, nullptr);
    EXPECT_EQ(out.flags, 0u);
    EXPECT_EQ(Call(kSlotRead, 1, reinterpret_cast<MsgLParam>(&out)), -100);
}

TEST_F(ItemStoreTest, RowWithoutTextReadsAsEmptyString) {
    Add(u"a");
    InertListItem none{0, 0, nullptr};
    EXPECT_EQ(Call(kSlotReplace, 0, reinterpret_cast<MsgLParam>(&none)), 0);
    EXPECT_EQ(TextAt(0), u"");
    EXPECT_EQ(TextAt(1), u"<null>");
    InertListItem out{0, 0, nullptr};
    EXPECT_EQ(Call(kSlotRead, 0, reinterpret_cast<MsgLParam>(&out)), 0);
    EXPECT_EQ(out.text, nullptr);
}

TEST_F(ItemStoreTest, HeightCountsOnlyWithOwnHeightFlag) {
    Add(u"a");
    EXPECT_EQ(Call(kSlotSetHeight, 0, 50), 0);
    EXPECT_EQ(Call(kSlotGetOwnHeight, 0), -1);
    EXPECT_EQ(Call(kSlotSetFlags, 0, ILVIF_OWNHEIGHT), 0);
    EXPECT_EQ(Call(kSlotGetOwnHeight, 0), 50);
    EXPECT_EQ(Call(kSlotGetOwnHeight, 1), -100);
    EXPECT_EQ(Call(kSlotGetFlags, 1), 0);
    EXPECT_EQ(Call(kSlotSetFlags, 1, 2), -100);
    EXPECT_EQ(Call(kSlotSetHeight, -1, 2), -100);
}

TEST_F(ItemStoreTest, NullRecordIsRefused) {
    EXPECT_EQ(Call(kSlotAppend, 0), -100);
    EXPECT_EQ(Call(kSlotRelease, 0), 0);
    EXPECT_EQ(store.count, 0);
}

// Lets `allowed` more allocations succeed, then fails every one.
int allowed = 0;
void* Rationed(void* block, std::size_t bytes) {
    return allowed-- > 0 ? std::realloc(block, bytes) : nullptr;
}

TEST_F(ItemStoreTest, FailedAllocationsLoseNothing) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Add(u"x"), 0);
    }
    SetItemStoreRealloc(&Rationed);
    allowed = 0;
    EXPECT_EQ(Add(u"y"), -101);  // the array cannot grow
    EXPECT_EQ(store.count, 20);
    EXPECT_EQ(store.capacity, 20);
    allowed = 1;
    EXPECT_EQ(Add(u"y"), -100);  // it grew, but the text copy failed
    EXPECT_EQ(store.count, 20);
    allowed = 0;
    InertListItem next{0, 0, const_cast<char16_t*>(u"z")};
    EXPECT_EQ(Call(kSlotReplace, 3, reinterpret_cast<MsgLParam>(&next)), -100);
    EXPECT_EQ(TextAt(3), u"<null>");  // reading hands out a copy, which fails too
    SetItemStoreRealloc(nullptr);
    EXPECT_EQ(TextAt(3), u"");  // the row was left without text
    EXPECT_EQ(TextAt(4), u"x");
}

}  // namespace
}  // namespace zentorak
