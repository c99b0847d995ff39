// The GPS source against a real gpsd started by the test and fed NMEA over UDP.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "core/gpsd/gpsd_driver.h"
#include "core/position/command_recorder.h"
#include "core/position/gps_source.h"
#include "core/position/gpsd_harness.h"
#include "support/wait_until.h"

namespace zentorak {
namespace {

using namespace std::chrono_literals;
using testing::CommandRecorder;
using testing::GpsdHarness;
using testing::WaitUntil;

constexpr int kPositionReady = 32796;

// Counts the sessions' closes while passing everything to the real driver.
class CountingDriver : public GpsdDriver {
public:
    CountingDriver(std::string port, std::atomic<int>& closes)
        : GpsdDriver("127.0.0.1", std::move(port)), closes_(closes) {}
    int Close() override {
        ++closes_;
        return GpsdDriver::Close();
    }

private:
    std::atomic<int>& closes_;
};

struct GpsdSourceTest : ::testing::Test {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(gpsd.Start(error)) << error;
    }
    // Sends fixes until the window has `count` commands, as a receiver repeats its reports.
    // The reader clears the busy flag just after posting, so that is waited for as well.
    bool FeedUntilPosted(double lat, double lon, size_t count) {
        for (int i = 0; i < 50; ++i) {
            gpsd.SendFix(lat, lon);
            if (window.WaitFor(count, 100ms)) {
                return WaitUntil([this] { return busy.load() == 0; }, 1s);
            }
        }
        return false;
    }
    bool WaitForRecord(double lat) {
        return WaitUntil(
            [&] { return std::abs(source.Request()->Position().latitude - lat) < 1e-6; }, 5s);
    }

    GpsdHarness gpsd;
    std::atomic<int> busy{0};
    std::atomic<int> closes{0};
    GpsSource source{[this] { return std::make_shared<CountingDriver>(gpsd.Port(), closes); },
                     busy};
    CommandRecorder window;
};

TEST_F(GpsdSourceTest, FirstFixAnswersAndLaterFixesUpdateWithoutPosting) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    for (int i = 0; i < 5; ++i) {
        gpsd.SendNoFix();  // a receiver still searching: never a position
    }
    EXPECT_FALSE(window.WaitFor(1, 500ms));
    EXPECT_EQ(busy.load(), 1);

    ASSERT_TRUE(FeedUntilPosted(35.681236, 139.767125, 1));
    EXPECT_EQ(busy.load(), 0);
    EXPECT_NEAR(source.Request()->Position().latitude, 35.681236, 1e-6);
    EXPECT_NEAR(source.Request()->Position().longitude, 139.767125, 1e-6);

    gpsd.SendFix(35.690921, 139.700258);
    EXPECT_TRUE(WaitForRecord(35.690921));
    EXPECT_NEAR(source.Request()->Position().longitude, 139.700258, 1e-6);
    EXPECT_EQ(window.Commands().size(), 1u);
}

TEST_F(GpsdSourceTest, SecondRequestClosesTheFirstSession) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    ASSERT_TRUE(FeedUntilPosted(35.0, 135.0, 1));
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_EQ(closes.load(), 1);
    ASSERT_TRUE(FeedUntilPosted(34.5, 135.5, 2));
    EXPECT_NEAR(source.Request()->Position().latitude, 34.5, 1e-6);
}

TEST_F(GpsdSourceTest, StopDuringARequestEndsTheReaderWithinTheStopWait) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    gpsd.SendNoFix();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(source.StopGpsSession(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5000ms);
    EXPECT_EQ(closes.load(), 1);
    EXPECT_FALSE(source.SessionOpen());
}

TEST_F(GpsdSourceTest, WithoutGpsdTheStartFailsAndTheNextUpdateTriesAgain) {
    gpsd.Kill();
    EXPECT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), kGpsSessionFailed);
    EXPECT_EQ(busy.load(), 0);
    std::string error;
    ASSERT_TRUE(gpsd.Start(error)) << error;
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_TRUE(FeedUntilPosted(36.0, 140.0, 1));
}

TEST_F(GpsdSourceTest, GpsdKilledMidRequestRecoversWhenItIsBack) {
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    gpsd.Kill(true);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(busy.load(), 1);  // still waiting; a tick now is refused, nothing breaks
    EXPECT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    std::string error;
    ASSERT_TRUE(gpsd.Start(error)) << error;
    // The driver reconnects by itself and the waiting request gets its answer.
    ASSERT_TRUE(FeedUntilPosted(35.1, 136.9, 1));
    EXPECT_NEAR(source.Request()->Position().latitude, 35.1, 1e-6);
    // And the next request works as usual.
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    EXPECT_TRUE(FeedUntilPosted(35.2, 136.8, 2));
}

}  // namespace
}  // namespace zentorak
