// The coasting thread of the item list control against a fake window: frames, snapping,
// notifications, halting taps, destruction while coasting, and one coast in real time.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "core/itemlist/fake_item_list_host.h"
#include "core/itemlist/item_list_core.h"

namespace zentorak {
namespace {

using testing::AddRows;
using testing::FakeItemListHost;
using testing::Send;

// 100 rows of 20 pixels in a 100-pixel window, so LastPageTop(99) is 96.
class ItemListCoastTest : public ::testing::Test {
protected:
    void SetUp() override {
        list = std::make_unique<ItemListCore>(host, 20, 240, 320);
        ASSERT_EQ(list->InitStore(), 0);
        AddRows(*list, 100);
    }
    void TearDown() override {
        if (list) {
            list->DestroyStore();
        }
    }
    void Pen(std::uint32_t msg, int y, std::int64_t at) {
        if (!host.realClock) {
            host.now = at;
        }
        Send(*list, msg, 0, MakePointParam(5, y));
    }
    // 200 pixels upwards in 100 ms, anchored at the pen-down point y = 300.
    void FlickUp() {
        Pen(wm::kLButtonDown, 300, 1000);
        Pen(wm::kMouseMove, 200, 1050);
        if (host.realClock) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        Pen(wm::kLButtonUp, 100, 1100);
    }

    FakeItemListHost host;
    std::unique_ptr<ItemListCore> list;
};

TEST_F(ItemListCoastTest, FlickRunsFiftyFramesAndSnaps) {
    FlickUp();
    EXPECT_TRUE(list->Coasting());
    ASSERT_TRUE(host.RunNextTask());
    EXPECT_EQ(host.Sleeps(), std::vector<int>(50, 20));
    EXPECT_EQ(host.Repaints(), 50);
    EXPECT_EQ(list->CurY(), 100 - 999);
    // Offset -1199 from row 0 falls in row 59, which becomes the top row.
    EXPECT_EQ(Send(*list, ILVM_GETTOPINDEX), 59);
    EXPECT_EQ(Send(*list, ILVM_GETDRAGSTATE), 0);
    EXPECT_FALSE(list->Coasting());
    EXPECT_EQ(host.Notifications(), (std::vector<int>{ILVN_COASTBEGIN, ILVN_COASTEND}));
}

TEST_F(ItemListCoastTest, SnapClampsToLastPage) {
    ASSERT_EQ(Send(*list, ILVM_SETTOPINDEX, 90), 0);
    FlickUp();
    ASSERT_TRUE(host.RunNextTask());
    EXPECT_EQ(Send(*list, ILVM_GETTOPINDEX), 96);
}

TEST_F(ItemListCoastTest, FlickWithoutTravelSnapsAtOnce) {
    ASSERT_EQ(Send(*list, ILVM_SETTOPINDEX, 5), 0);
    Pen(wm::kLButtonDown, 50, 1000);
    Pen(wm::kMouseMove, 80, 1010);  // a drag downwards
    Pen(wm::kMouseMove, 60, 1020);  // turning back moves the anchor to 80
    Pen(wm::kLButtonUp, 80, 1040);  // no travel since the anchor
    ASSERT_TRUE(host.RunNextTask());
    EXPECT_TRUE(host.Sleeps().empty());
    // Dragged 30 pixels down from row 5: rows 4 and 3 cover that offset, so row 3 is on top.
    EXPECT_EQ(Send(*list, ILVM_GETTOPINDEX), 3);
    EXPECT_EQ(host.Notifications(), (std::vector<int>{ILVN_COASTBEGIN, ILVN_COASTEND}));
}

TEST_F(ItemListCoastTest, TapDuringCoastingHaltsWithoutChangingThePress) {
    host.gated = true;
    FlickUp();
    EXPECT_EQ(Send(*list, ILVM_GETPRESSED), 14);  // pen-down at 300: offsets 281..300
    host.ReleaseFrames(2);
    ASSERT_TRUE(host.WaitForSleeps(3));
    Pen(wm::kLButtonDown, 50, 1200);
    Pen(wm::kLButtonUp, 50, 1210);
    EXPECT_EQ(Send(*list, ILVM_GETDRAGSTATE), 1);  // still coasting until the frame ends
    host.ReleaseFrames(100);
    ASSERT_TRUE(host.RunNextTask());
    EXPECT_EQ(host.Sleeps().size(), 3u);
    EXPECT_EQ(Send(*list, ILVM_GETPRESSED), 14);
    // Three frames moved -116 pixels: offset 100 - 116 - 300 = -316 lies in row 15.
    EXPECT_EQ(Send(*list, ILVM_GETTOPINDEX), 15);
    EXPECT_EQ(Send(*list, ILVM_GETDRAGSTATE), 0);
}

TEST_F(ItemListCoastTest, MovesDuringCoastingDoNotSteer) {
    host.gated = true;
    FlickUp();
    host.ReleaseFrames(1);
    ASSERT_TRUE(host.WaitForSleeps(2));
    int before = list->CurY();
    Pen(wm::kMouseMove, 400, 1150);
    EXPECT_EQ(list->CurY(), before);
    host.ReleaseFrames(100);
    ASSERT_TRUE(host.RunNextTask());
}

TEST_F(ItemListCoastTest, DestroyingWhileCoastingStopsTheThread) {
    host.realSleep = true;
    FlickUp();
    ASSERT_TRUE(host.WaitForSleeps(3));
    auto start = std::chrono::steady_clock::now();
    list->DestroyStore();
    list.reset();
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::milliseconds(500));  // one frame, not the whole coast
    std::size_t sleeps = host.Sleeps().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(host.Sleeps().size(), sleeps);
    EXPECT_LT(sleeps, 50u);
}

TEST_F(ItemListCoastTest, RealCoastTakesAboutOneSecond) {
    host.realClock = true;
    host.realSleep = true;
    FlickUp();
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(host.RunNextTask(std::chrono::seconds(20)));
    auto took = std::chrono::steady_clock::now() - start;
    // The release speed depends on real timing; the frames always sleep 20 ms each.
    std::size_t frames = host.Sleeps().size();
    EXPECT_GE(frames, 2u);
    EXPECT_GE(took, std::chrono::milliseconds(20 * static_cast<int>(frames)));
    EXPECT_EQ(Send(*list, ILVM_GETDRAGSTATE), 0);
    EXPECT_GT(Send(*list, ILVM_GETTOPINDEX), 14);
    EXPECT_EQ(host.Notifications(), (std::vector<int>{ILVN_COASTBEGIN, ILVN_COASTEND}));
}

}  // namespace
}  // namespace zentorak
