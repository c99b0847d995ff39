// The GPS request and session over a scripted driver: ordering and failure paths that a real
// gpsd cannot be made to produce on demand.
#include "core/position/gps_source.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/position/command_recorder.h"
#include "core/position/scripted_gps_driver.h"
#include "support/wait_until.h"

namespace zentorak {
namespace {

using namespace std::chrono_literals;
using testing::CommandRecorder;
using testing::ScriptedDriver;
using testing::WaitUntil;

constexpr int kPositionReady = 32796;
// Shorter than the program's 5 s, so that the abandoned-reader case does not hold up the run.
constexpr std::chrono::milliseconds kStopWait = 300ms;

struct GpsSourceTest : ::testing::Test {
    std::atomic<int> busy{0};
    std::vector<std::shared_ptr<ScriptedDriver>> drivers;
    int nextOpenError = 0;
    GpsSource source{[this] {
                         auto driver = std::make_shared<ScriptedDriver>();
                         driver->openError = nextOpenError;
                         drivers.push_back(driver);
                         return driver;
                     },
                     busy, kStopWait};
    CommandRecorder window;

    // The reader clears the busy flag just after it has posted the answer.
    bool WaitIdle() {
        return WaitUntil([this] { return busy.load() == 0; });
    }
};

TEST_F(GpsSourceTest, FirstPositionIsPostedOnceLaterOnesOnlyUpdate) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_EQ(busy.load(), 1);
    drivers[0]->Deliver(35.5, 139.5);
    ASSERT_TRUE(window.WaitFor(1, 2s));
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(window.Commands(), std::vector<uint16_t>{kPositionReady});
    drivers[0]->Deliver(35.6, 139.7);
    WaitUntil([&] { return source.Request()->Position().latitude == 35.6; });
    EXPECT_EQ(source.Request()->Position().longitude, 139.7);
    EXPECT_EQ(window.Commands().size(), 1u);
}

TEST_F(GpsSourceTest, SecondRequestWhileRunningLeavesTheSessionAlone) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0]->closes.load(), 0);
}

TEST_F(GpsSourceTest, NewRequestClosesThePreviousSession) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    drivers[0]->Deliver(35.5, 139.5);
    ASSERT_TRUE(window.WaitFor(1, 2s));
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_EQ(drivers[0]->closes.load(), 1);
    ASSERT_EQ(drivers.size(), 2u);
    // The record starts afresh for the new request.
    EXPECT_EQ(source.Request()->Position().latitude, 0.0);
    EXPECT_TRUE(source.Request()->Waiting());
}

TEST_F(GpsSourceTest, OpenFailureGives105ClearsTheFlagAndTheNextUpdateTriesAgain) {
    nextOpenError = ECONNREFUSED;
    EXPECT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), kGpsSessionFailed);
    EXPECT_EQ(busy.load(), 0);
    EXPECT_FALSE(source.SessionOpen());
    nextOpenError = 0;
    EXPECT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_TRUE(source.SessionOpen());
    EXPECT_EQ(drivers.size(), 2u);
}

TEST_F(GpsSourceTest, FailingGetPositionKeepsTheRequestWaiting) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    drivers[0]->failGetPosition = true;
    drivers[0]->Deliver(35.5, 139.5);
    EXPECT_FALSE(window.WaitFor(1, 200ms));
    EXPECT_EQ(busy.load(), 1);
    EXPECT_TRUE(source.Request()->Waiting());
}

TEST_F(GpsSourceTest, DeviceNameIsCutTo64Units) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    drivers[0]->ChangeDevice();
    WaitUntil([&] { return !source.Request()->DeviceName().empty(); });
    EXPECT_EQ(source.Request()->DeviceName(), std::u16string(64, u'x'));
}

TEST_F(GpsSourceTest, StopWithoutSessionIsInvalidArgument) {
    EXPECT_EQ(source.StopGpsSession(), kEInvalidArg);
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_EQ(source.StopGpsSession(), 0);
    EXPECT_EQ(drivers[0]->closes.load(), 1);
    EXPECT_EQ(source.StopGpsSession(), kEInvalidArg);
}

TEST_F(GpsSourceTest, ReaderStuckInTheDriverIsAbandonedAfterTheStopWait) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    drivers[0]->blockInGetPosition = true;
    drivers[0]->Deliver(35.5, 139.5);
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(source.StopGpsSession(), SystemErrorStatus(ETIMEDOUT));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, kStopWait);
    EXPECT_LT(waited, kStopWait + 1500ms);
    EXPECT_EQ(drivers[0]->closes.load(), 1);  // the device is closed all the same
    // The abandoned thread finishes on its own, but it is cut off from the window and the
    // busy flag, which may both be gone by then: nothing is posted.
    drivers[0]->blockInGetPosition = false;
    EXPECT_FALSE(window.WaitFor(1, 500ms));
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(source.Request(), nullptr);  // a later request gets a record of its own
}

TEST(GpsStatus, SystemErrorStatusHasTheFacilityBits) {
    EXPECT_EQ(static_cast<uint32_t>(SystemErrorStatus(110)), 0x8007006Eu);
}

}  // namespace
}  // namespace zentorak
