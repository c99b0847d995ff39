// The GPS source against a real GeoClue on a private system bus, fed from an NMEA socket: it
// answers when no gpsd runs, a later request gets the new position rather than an old one, and
// a running gpsd is still preferred.
#include "gui/platform/geoclue_driver.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <QDataStream>
#include <QFile>
#include <QGeoPositionInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "core/gpsd/gpsd_driver.h"
#include "core/position/command_recorder.h"
#include "core/position/gps_source.h"
#include "core/position/gpsd_harness.h"
#include "gui/platform/geoclue_harness.h"

namespace zentorak::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kPositionReady = 32796;

class GeoclueTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Qt keeps the last GeoClue position in the data folder; not in the user's.
        data_ = new QTemporaryDir;
        savedDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data_->path().toUtf8());
        harness_ = new GeoclueHarness;
        started_ = harness_->Start(reason_);
        if (started_) {
            std::fprintf(stderr, "GeoClue on a private bus, started with the %s\n",
                         harness_->Mode().c_str());
        }
    }
    static void TearDownTestSuite() {
        delete harness_;
        delete data_;
        qputenv("XDG_DATA_HOME", savedDataHome_);
    }
    void SetUp() override {
        if (!started_) {
            GTEST_SKIP() << "GeoClue cannot run here: " << reason_;
        }
    }

    // gpsd is asked first, on `gpsdPort`; GeoClue after it.
    std::shared_ptr<GpsDriver> Services(const std::string& gpsdPort) {
        return std::make_shared<FallbackGpsDriver>(
            std::vector<FallbackGpsDriver::Service>{
                {u"gpsd",
                 [gpsdPort] { return std::make_shared<GpsdDriver>("127.0.0.1", gpsdPort); }},
                {u"GeoClue",
                 [this] {
                     return std::make_shared<GeoclueDriver>(
                         [this](const std::u16string& line) { Note(line); });
                 }}},
            [this](const std::u16string& line) { Note(line); });
    }
    void Note(const std::u16string& line) {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    }
    std::vector<std::u16string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    // A request and its answer; false when none came within `limit`. The main thread runs its
    // event loop meanwhile, as the program's does: Qt holds back the bus's signals until then.
    bool Ask(GpsSource& source, size_t answers, int limitMs = 20000) {
        if (source.StartGpsRequest(window.Poster(), kPositionReady) != 0) {
            return false;
        }
        const bool answered =
            QTest::qWaitFor([&] { return window.Commands().size() >= answers; }, limitMs);
        for (int i = 0; i < 100 && busy.load() != 0; ++i) {
            std::this_thread::sleep_for(10ms);
        }
        return answered;
    }

    static GeoclueHarness* harness_;
    static QTemporaryDir* data_;
    static QByteArray savedDataHome_;
    static bool started_;
    static std::string reason_;

    std::atomic<int> busy{0};
    CommandRecorder window;
    std::mutex mutex_;
    std::vector<std::u16string> lines_;
};

GeoclueHarness* GeoclueTest::harness_ = nullptr;
QTemporaryDir* GeoclueTest::data_ = nullptr;
QByteArray GeoclueTest::savedDataHome_;
bool GeoclueTest::started_ = false;
std::string GeoclueTest::reason_;

TEST_F(GeoclueTest, AnswersWhenNoGpsdRuns) {
    // Where an earlier run ended, as Qt saves it and hands it out first: no fix of this run.
    QFile saved(data_->filePath(QStringLiteral("qtposition-geoclue2")));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    QDataStream out(&saved);
    out << QGeoPositionInfo(QGeoCoordinate(43.068661, 141.350755),
                            QDateTime::currentDateTime().addDays(-1));
    saved.close();
    harness_->SetPosition(35.681236, 139.767125);  // Tokyo station
    const std::string noGpsd = std::to_string(FreeLoopbackPort(SOCK_STREAM));
    GpsSource source([&] { return Services(noGpsd); }, busy);
    ASSERT_TRUE(Ask(source, 1)) << "mode " << harness_->Mode() << "\n" << harness_->GeoclueLog();
    EXPECT_NEAR(source.Request()->Position().latitude, 35.681236, 1e-6);
    EXPECT_NEAR(source.Request()->Position().longitude, 139.767125, 1e-6);
    EXPECT_EQ(source.Request()->DeviceName(), u"GeoClue");
    EXPECT_EQ(Lines(),
              std::vector<std::u16string>{u"GPS: gpsd に接続できないため GeoClue を使います"});

    // The next request (a periodic update) opens a new session: it must bring the new
    // position, not the one the last session ended with.
    harness_->SetPosition(34.702485, 135.495951);  // Osaka station
    QTest::qWait(1500);
    ASSERT_TRUE(Ask(source, 2)) << harness_->GeoclueLog();
    EXPECT_NEAR(source.Request()->Position().latitude, 34.702485, 1e-6);
    EXPECT_NEAR(source.Request()->Position().longitude, 135.495951, 1e-6);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(source.StopGpsSession(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5000ms);
}

TEST_F(GeoclueTest, RunningGpsdStillWins) {
    harness_->SetPosition(35.681236, 139.767125);
    GpsdHarness gpsd;
    std::string error;
    ASSERT_TRUE(gpsd.Start(error)) << error;
    GpsSource source([&] { return Services(gpsd.Port()); }, busy);
    ASSERT_EQ(source.StartGpsRequest(window.Poster(), kPositionReady), 0);
    for (int i = 0; i < 50 && !window.WaitFor(1, 100ms); ++i) {
        gpsd.SendFix(43.068661, 141.350755);  // Sapporo station
    }
    ASSERT_EQ(window.Commands().size(), 1u);
    EXPECT_NEAR(source.Request()->Position().latitude, 43.068661, 1e-6);
    EXPECT_NE(source.Request()->DeviceName(), u"GeoClue");
    EXPECT_EQ(Lines(), std::vector<std::u16string>{u"GPS: gpsd に接続しました"});
    EXPECT_EQ(source.StopGpsSession(), 0);
}

}  // namespace
}  // namespace zentorak::testing
