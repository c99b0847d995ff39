// The GPS driver over several services: the order they are asked in, the log line, and that a
// session over it answers as one over the service itself, first fix included.
#include "core/position/fallback_gps_driver.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/gpsd/gpsd_driver.h"
#include "core/position/command_recorder.h"
#include "core/position/gps_source.h"
#include "core/position/gpsd_harness.h"
#include "core/position/scripted_gps_driver.h"

namespace zentorak {
namespace {

using namespace std::chrono_literals;
using testing::CommandRecorder;
using testing::ScriptedDriver;

// Signals its first fix from inside Open and only then returns, as a service that has a
// position at hand the moment it is asked may do.
class EagerDriver : public ScriptedDriver {
public:
    int Open(GpsEvents& events) override {
        const int error = ScriptedDriver::Open(events);
        Deliver(34.5, 135.5);
        std::this_thread::sleep_for(50ms);  // the reader is awake long before Open returns
        return error;
    }
};

struct FallbackTest : ::testing::Test {
    std::shared_ptr<ScriptedDriver> gpsd = std::make_shared<ScriptedDriver>();
    std::shared_ptr<ScriptedDriver> geoclue = std::make_shared<ScriptedDriver>();
    int geoclueMade = 0;
    std::vector<std::u16string> lines;

    std::shared_ptr<FallbackGpsDriver> Make() {
        return std::make_shared<FallbackGpsDriver>(
            std::vector<FallbackGpsDriver::Service>{{u"gpsd", [this] { return gpsd; }},
                                                    {u"GeoClue",
                                                     [this] {
                                                         ++geoclueMade;
                                                         return geoclue;
                                                     }}},
            [this](const std::u16string& line) { lines.push_back(line); });
    }
};

TEST_F(FallbackTest, PreferredServiceServesAndTheOthersAreNotEvenMade) {
    auto driver = Make();
    GpsEvents events;
    ASSERT_EQ(driver->Open(events), 0);
    EXPECT_EQ(driver->Serving(), u"gpsd");
    EXPECT_EQ(geoclueMade, 0);
    EXPECT_EQ(lines, std::vector<std::u16string>{u"GPS: gpsd に接続しました"});
    gpsd->Deliver(35.25, 139.5);
    GpsPosition p;
    ASSERT_EQ(driver->GetPosition(p, kGpsMaximumAgeMs), 0);
    EXPECT_EQ(p.latitude, 35.25);
    EXPECT_EQ(driver->Open(events), EBUSY);  // one session per driver
    EXPECT_EQ(driver->Close(), 0);
    EXPECT_EQ(gpsd->closes.load(), 1);
    EXPECT_EQ(driver->Serving(), u"");
}

TEST_F(FallbackTest, NextServiceServesWhenThePreferredOneCannotBeReached) {
    gpsd->openError = ECONNREFUSED;
    auto driver = Make();
    GpsEvents events;
    ASSERT_EQ(driver->Open(events), 0);
    EXPECT_EQ(driver->Serving(), u"GeoClue");
    EXPECT_EQ(lines,
              std::vector<std::u16string>{u"GPS: gpsd に接続できないため GeoClue を使います"});
    geoclue->Deliver(43.0625, 141.34375);
    EXPECT_EQ(events.WaitAnyFor(1s), GpsEvents::kNewPosition);
    GpsPosition p;
    ASSERT_EQ(driver->GetPosition(p, kGpsMaximumAgeMs), 0);
    EXPECT_EQ(p.longitude, 141.34375);
    GpsDevice device;
    ASSERT_EQ(driver->GetDeviceState(device), 0);
    EXPECT_EQ(device.friendlyName.size(), 70u);  // the scripted service's own name
    driver->Close();
    EXPECT_EQ(geoclue->closes.load(), 1);
    EXPECT_EQ(gpsd->closes.load(), 0);  // never opened, so never closed
}

TEST_F(FallbackTest, NoServiceGivesTheLastErrorAndSaysSo) {
    gpsd->openError = ECONNREFUSED;
    geoclue->openError = ENOENT;
    auto driver = Make();
    GpsEvents events;
    EXPECT_EQ(driver->Open(events), ENOENT);
    EXPECT_EQ(lines, std::vector<std::u16string>{u"GPS: gpsd にも GeoClue にも接続できません"});
    GpsPosition p;
    EXPECT_EQ(driver->GetPosition(p, kGpsMaximumAgeMs), ENODEV);
    GpsDevice device;
    EXPECT_EQ(driver->GetDeviceState(device), ENODEV);
    EXPECT_EQ(driver->Close(), 0);

    // A service that cannot even be made counts as one that did not open.
    FallbackGpsDriver none({{u"gpsd", [] { return std::shared_ptr<GpsDriver>(); }}}, {});
    EXPECT_EQ(none.Open(events), ENODEV);
}

// The reader thread wakes on the first fix while Open is still running; it must wait for the
// service to become the active one rather than find none and drop the only fix there is.
TEST_F(FallbackTest, FixSignalledDuringOpenStillAnswersTheRequest) {
    gpsd->openError = ECONNREFUSED;
    auto eager = std::make_shared<EagerDriver>();
    std::atomic<int> busy{0};
    GpsSource source(
        [&] {
            return std::make_shared<FallbackGpsDriver>(
                std::vector<FallbackGpsDriver::Service>{{u"gpsd", [&] { return gpsd; }},
                                                        {u"GeoClue", [&] { return eager; }}},
                FallbackGpsDriver::Notice{});
        },
        busy);
    CommandRecorder window;
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), 32796), 0);
    ASSERT_TRUE(window.WaitFor(1, 2s));
    EXPECT_EQ(source.Request()->Position().latitude, 34.5);
    EXPECT_EQ(source.StopGpsSession(), 0);
    EXPECT_EQ(eager->closes.load(), 1);
}

// With a real gpsd on its port, gpsd serves, whatever comes after it in the list.
TEST(FallbackWithGpsd, RunningGpsdIsPreferred) {
    testing::GpsdHarness gpsd;
    std::string error;
    ASSERT_TRUE(gpsd.Start(error)) << error;
    auto other = std::make_shared<ScriptedDriver>();
    std::vector<std::u16string> lines;
    std::atomic<int> busy{0};
    GpsSource source(
        [&] {
            return std::make_shared<FallbackGpsDriver>(
                std::vector<FallbackGpsDriver::Service>{
                    {u"gpsd",
                     [&] { return std::make_shared<GpsdDriver>("127.0.0.1", gpsd.Port()); }},
                    {u"GeoClue", [&] { return other; }}},
                [&](const std::u16string& line) { lines.push_back(line); });
        },
        busy);
    CommandRecorder window;
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), 32796), 0);
    for (int i = 0; i < 50 && window.Commands().empty(); ++i) {
        gpsd.SendFix(35.625, 139.75);
        window.WaitFor(1, 200ms);
    }
    ASSERT_EQ(window.Commands().size(), 1u);
    EXPECT_NEAR(source.Request()->Position().latitude, 35.625, 1e-6);
    EXPECT_EQ(lines, std::vector<std::u16string>{u"GPS: gpsd に接続しました"});
    EXPECT_EQ(other->opens.load(), 0);
    EXPECT_EQ(source.StopGpsSession(), 0);
}

}  // namespace
}  // namespace zentorak
