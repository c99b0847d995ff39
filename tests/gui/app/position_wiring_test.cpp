// The main window with the real update cycle plugged in: the soft key in its modes, the
// periodic timer, GPS answers (from a scripted driver) turned into origin and list, the
// simulated W-SIM module on a pty behind ports/COMn, the phone call and exit mid-request.
#include <unistd.h>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <cerrno>
#include <filesystem>

#include "core/geo/datum.h"
#include "core/gpsd/gpsd_driver.h"
#include "core/position/gpsd_harness.h"
#include "core/position/scripted_gps_driver.h"
#include "gui/app/app_fixture.h"
#include "gui/app/result_panes.h"
#include "gui/app/update_cycle_adapter.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/platform/url_catcher.h"
#include "gui/run_events.h"
#include "support/wait_until.h"
#include "wsim/wsim_module.h"

namespace zentorak::testing {
namespace {

// The WGS 84 fix that a GPS receiver reports at a point given on the Tokyo datum of the files.
struct Fix {
    double lat, lon;
};
Fix ReceiverAt(double tokyoLat, double tokyoLon) {
    Fix fix;
    TokyoToWgs84(tokyoLat, tokyoLon, fix.lat, fix.lon);
    return fix;
}

// 35/40/20 N 139/46/20 E, where shop 14 stands.
constexpr double kShop14Lat = 35.0 + 40.0 / 60 + 20.0 / 3600;
constexpr double kShop14Lon = 139.0 + 46.0 / 60 + 20.0 / 3600;
const Fix kAtShop14 = ReceiverAt(kShop14Lat, kShop14Lon);

class PositionWiring : public AppFixture {
protected:
    bool StartWith(const std::vector<std::string>& system) {
        WriteSettings(system);
        state = std::make_unique<AppState>();
        app = std::make_unique<Application>(*state, IniPath());
        app->SetPositionUpdatesFactory([this](MainWindow& window, AppState& s) {
            return std::make_unique<UpdateCycleAdapter>(
                window, s, [this] { return driver; }, dir.path().toStdString(),
                [this](std::chrono::milliseconds) {
                    // What a person sees while the exchange blocks the window.
                    QPlainTextEdit* log = Window().Panes().Log();
                    seenDuringExchange.push_back(log->isVisible() ? log->toPlainText() : QString());
                    QTest::qSleep(20);
                });
        });
        return app->Start(true);
    }
    // Runs the event loop until `done` or `ms` have passed.
    template <typename Done>
    bool WaitUntil(Done done, int ms = 3000) {
        return testing::WaitUntil(done, std::chrono::milliseconds(ms), RunEvents{});
    }
    bool Busy() { return Window().Updates().Busy(); }
    // The answer has been handled once the reader is done and the list shows.
    bool Answered() { return !Busy() && state->found.count > 0 && state->paneMode == kPaneList; }
    QString Key() { return Window().SoftKeys()->LeftText(); }
    std::u16string FirstName() { return std::u16string(state->found.targets[0]->Info(0)); }

    std::shared_ptr<ScriptedDriver> driver = std::make_shared<ScriptedDriver>();
    std::vector<QString> seenDuringExchange;
};

TEST_F(PositionWiring, ManualUpdateTurnsTheGpsAnswerIntoOriginAndList) {
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:2"}));
    EXPECT_EQ(Key(), QStringLiteral("更新"));
    EXPECT_EQ(state->found.count, 0);
    Window().Dispatch(32771);
    EXPECT_TRUE(Busy());  // the radar reads "位置取得中"
    EXPECT_EQ(driver->opens.load(), 1);
    driver->Deliver(kAtShop14.lat, kAtShop14.lon);
    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));
    EXPECT_EQ(state->originValid, 1);
    // The origin is the shop's own place on the Tokyo datum (within the truncation).
    EXPECT_EQ(state->originLat.deg, 35);
    EXPECT_EQ(state->originLat.min, 40);
    EXPECT_NEAR(state->originLat.sec * 1000 + state->originLat.msec, 20000, 1);
    EXPECT_EQ(state->originLon.min, 46);
    EXPECT_NEAR(state->originLon.sec * 1000 + state->originLon.msec, 20000, 1);
    EXPECT_EQ(FirstName(), u"店14");
    EXPECT_EQ(state->found.count, 20);
    EXPECT_FALSE(Window().UpdateTimerRunning());  // manual: no timer
    EXPECT_EQ(Key(), QStringLiteral("更新"));
}

TEST_F(PositionWiring, SoftKeyStopsAndResumesThePeriodicUpdate) {
    ASSERT_TRUE(StartWith({"InfoUpdateMode:1", "AutoUpdateMode:1", "MthdGetLocInfo:2"}));
    EXPECT_EQ(Key(), QStringLiteral("更新停止"));
    ASSERT_TRUE(Window().UpdateTimerRunning());  // started at start-up
    EXPECT_EQ(Window().UpdateTimerInterval(), 6000);
    // The first round does not wait for the first tick.
    EXPECT_EQ(driver->opens.load(), 1);
    EXPECT_TRUE(Busy());
    driver->Deliver(kAtShop14.lat, kAtShop14.lon);
    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));

    Window().Dispatch(32771);  // stop: the start-up timer must stop too
    EXPECT_EQ(Key(), QStringLiteral("更新再開"));
    EXPECT_FALSE(Window().UpdateTimerRunning());
    EXPECT_EQ(state->settings.AutoUpdateMode, 2);
    EXPECT_EQ(driver->opens.load(), 1);

    Window().Dispatch(32771);  // resume: one request now, the timer after its answer
    EXPECT_EQ(Key(), QStringLiteral("更新停止"));
    EXPECT_EQ(state->settings.AutoUpdateMode, 1);
    EXPECT_TRUE(Busy());
    EXPECT_EQ(driver->opens.load(), 2);
    EXPECT_FALSE(Window().UpdateTimerRunning());
    driver->Deliver(kAtShop14.lat, kAtShop14.lon);
    ASSERT_TRUE(WaitUntil([this] { return !Busy() && Window().UpdateTimerRunning(); }));
    EXPECT_EQ(Window().UpdateTimerInterval(), 6000);
}

TEST_F(PositionWiring, GpsThatCannotBeOpenedIsSaidOverTheWindow) {
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:2"}));
    driver->openError = ECONNREFUSED;  // as with no gpsd and no other position service
    Window().Dispatch(32771);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0],
              QStringLiteral("GPSを開くことができませんでした。現在地取得を中止します。"),
              QStringLiteral("GPSオープン失敗"), NoticeIcon::kError);
    EXPECT_TRUE(messages.records[0].hasOwner);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(Key(), QStringLiteral("更新"));
}

TEST_F(PositionWiring, PeriodicTickRequestsAgainAndTheViewFollows) {
    ASSERT_TRUE(StartWith({"InfoUpdateMode:1", "AutoUpdateMode:2", "MthdGetLocInfo:2"}));
    Window().Dispatch(32771);
    driver->Deliver(kAtShop14.lat, kAtShop14.lon);
    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));
    EXPECT_EQ(FirstName(), u"店14");
    // The tick comes 6 s later and starts the next request, whose answer moves the view.
    ASSERT_TRUE(WaitUntil([this] { return driver->opens.load() == 2 && Busy(); }, 6800));
    const Fix corner = ReceiverAt(35.0 + 40.0 / 60, 139.0 + 46.0 / 60);  // shop 0's corner
    driver->Deliver(corner.lat, corner.lon);
    ASSERT_TRUE(WaitUntil([this] { return !Busy() && FirstName() == u"店00"; }));
    EXPECT_TRUE(Window().UpdateTimerRunning());
}

TEST_F(PositionWiring, OptionsBringTheSoftKeyAndTimerInLine) {
    ASSERT_TRUE(StartWith({"InfoUpdateMode:1", "AutoUpdateMode:1", "MthdGetLocInfo:2"}));
    ASSERT_TRUE(Window().UpdateTimerRunning());
    driver->Deliver(kShop14Lat, kShop14Lon);  // the first round, started at start-up
    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));
    int newMode = 2;
    Dialogs().applyOptions = [&] {
        state->settings.InfoUpdateMode = newMode;
        return true;
    };
    Window().Dispatch(32772);  // periodic -> manual
    EXPECT_EQ(Key(), QStringLiteral("更新"));
    EXPECT_FALSE(Window().UpdateTimerRunning());
    EXPECT_EQ(state->settings.AutoUpdateMode, 0);

    newMode = 1;  // manual -> periodic, not running yet
    Window().Dispatch(32772);
    EXPECT_EQ(Key(), QStringLiteral("更新再開"));
    EXPECT_EQ(driver->opens.load(), 1);
    Window().Dispatch(32771);  // resume
    EXPECT_EQ(Key(), QStringLiteral("更新停止"));
    EXPECT_EQ(driver->opens.load(), 2);
}

// The W-SIM module on a pty, linked as ports/COM3 beside the "executable" (the test folder).
TEST_F(PositionWiring, WsimExchangeShowsInTheLogPaneThenTheListReturns) {
    wsim::SimulatedModule module;
    std::string error;
    ASSERT_TRUE(module.Start(error)) << error;
    ASSERT_TRUE(module.LinkAs(dir.path().toStdString(), 3, error)) << error;
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:1", "PortName:COM3"}));
    EXPECT_EQ(state->log.Text(), u"START\r\n");
    EXPECT_EQ(state->paneMode, kPaneLog);

    state->paneMode = kPaneList;  // as after an earlier search
    Window().Dispatch(32771);     // the exchange runs here, on the window's thread
    EXPECT_EQ(state->paneMode, kPaneLog);
    const QString log = ToQString(state->log.Text());
    EXPECT_TRUE(log.contains(QStringLiteral("AT@LBC1"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("緯度:35/39/29.000"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("経度:139/45/05.000"))) << log.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The pane was in front from the first command on, with the exchange so far in it.
    ASSERT_GE(seenDuringExchange.size(), 2u);
    EXPECT_TRUE(seenDuringExchange[0].startsWith(QStringLiteral("--------\n")));
    EXPECT_TRUE(seenDuringExchange[1].contains(QStringLiteral("AT@LBC1")));

    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));  // the posted position-ready
    EXPECT_EQ(state->originValid, 1);
    EXPECT_EQ(state->originLat.sec, 29);
    EXPECT_EQ(FirstName(), u"店00");
    EXPECT_EQ(driver->opens.load(), 0);
}

TEST_F(PositionWiring, WsimQueryWithoutPositionLeavesTheLogInFront) {
    wsim::ModuleOptions options;
    options.silent = true;
    wsim::SimulatedModule module(options);
    std::string error;
    ASSERT_TRUE(module.Start(error)) << error;
    ASSERT_TRUE(module.LinkAs(dir.path().toStdString(), 3, error)) << error;
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:1", "PortName:COM3"}));
    Window().Dispatch(2001);  // a list from an earlier search
    ASSERT_EQ(state->paneMode, kPaneList);
    Window().Dispatch(32771);
    QTest::qWait(200);  // the posted position-ready has been handled
    EXPECT_EQ(state->paneMode, kPaneLog);
    EXPECT_TRUE(Window().Panes().Log()->isVisible());
    EXPECT_TRUE(Window().Panes().Log()->toPlainText().contains(QStringLiteral("RETRY--------")));
    Window().Dispatch(32775);  // the pane switch brings the list back
    EXPECT_TRUE(Window().Panes().List()->isVisible());
}

TEST_F(PositionWiring, PortThatCannotOpenTellsSoAndPostsNothing) {
    std::filesystem::create_directory(dir.filePath("ports").toStdString());
    std::filesystem::create_symlink(dir.filePath("no-such-device").toStdString(),
                                    dir.filePath("ports/COM5").toStdString());
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:1", "PortName:COM5"}));
    Window().Dispatch(32771);
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0],
              QStringLiteral("ポートを開くことができませんでした。現在地取得を中止します。"),
              QStringLiteral("ポートオープン失敗"), NoticeIcon::kError);
    EXPECT_TRUE(messages.records[0].hasOwner);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QTest::qWait(200);
    EXPECT_EQ(state->originValid, 0);
    EXPECT_EQ(state->found.count, 0);
}

TEST_F(PositionWiring, CallDuringThePeriodicUpdateStopsItFirst) {
    ASSERT_TRUE(StartWith({"InfoUpdateMode:1", "AutoUpdateMode:1", "MthdGetLocInfo:2"}));
    Window().Dispatch(32771);  // stop, then resume so that a position arrives
    Window().Dispatch(32771);
    driver->Deliver(kAtShop14.lat, kAtShop14.lon);
    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));
    ASSERT_TRUE(Window().UpdateTimerRunning());

    PrivateDesktop desktop(true);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tel"), &catcher, "Open");
    Window().Panes().List()->topLevelItem(0)->setSelected(true);
    Window().Dispatch(32786);  // the list's "電話"
    QDesktopServices::unsetUrlHandler(QStringLiteral("tel"));

    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("電話をかけるため定期更新を停止しました。"),
              QStringLiteral("定期更新停止"), NoticeIcon::kInformation);
    EXPECT_EQ(Key(), QStringLiteral("更新再開"));
    EXPECT_FALSE(Window().UpdateTimerRunning());
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].path(), QStringLiteral("03-0000-0014"));
}

// Without a dialer on the desktop the call cannot be made, and the user is told so instead of
// waiting for a call that never comes.
TEST_F(PositionWiring, CallWithoutADialerOnTheDesktopSaysItFailed) {
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:2"}));
    Window().Dispatch(32771);
    driver->Deliver(kShop14Lat, kShop14Lon);
    ASSERT_TRUE(WaitUntil([this] { return Answered(); }));
    PrivateDesktop desktop(false);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tel"), &catcher, "Open");
    Window().Panes().List()->topLevelItem(0)->setSelected(true);
    Window().Dispatch(32786);  // the list's "電話"
    QDesktopServices::unsetUrlHandler(QStringLiteral("tel"));
    EXPECT_TRUE(catcher.urls.isEmpty());
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, QStringLiteral("電話をすることができませんでした。"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("電話失敗"));
}

TEST_F(PositionWiring, ExitDuringAGpsRequestReturnsPromptly) {
    ASSERT_TRUE(StartWith({"MthdGetLocInfo:2"}));
    Window().Dispatch(32771);
    ASSERT_TRUE(Busy());
    QElapsedTimer clock;
    clock.start();
    Window().close();  // teardown stops the reader that waits for a fix
    EXPECT_LT(clock.elapsed(), 1000);
    auto& updates = static_cast<UpdateCycleAdapter&>(Window().Updates());
    EXPECT_FALSE(updates.Cycle().Gps().SessionOpen());
    EXPECT_EQ(driver->closes.load(), 1);
    // A fix that would have come now finds nobody listening; nothing is posted or changed.
    driver->Deliver(kAtShop14.lat, kAtShop14.lon);
    QTest::qWait(100);
    EXPECT_EQ(state->originValid, 0);
    EXPECT_TRUE(ReadCp932File(Path("zentorak.ini")).contains(QStringLiteral("MthdGetLocInfo")));
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

// The real GPS path: a private gpsd fed over UDP, the program's own gpsd driver pointed at it.
class GpsdWiring : public PositionWiring {
protected:
    bool StartWithGpsd() {
        std::string error;
        if (!gpsd.Start(error)) {
            ADD_FAILURE() << error;
            return false;
        }
        WriteSettings({"MthdGetLocInfo:2"});
        state = std::make_unique<AppState>();
        app = std::make_unique<Application>(*state, IniPath());
        app->SetPositionUpdatesFactory([this](MainWindow& window, AppState& s) {
            return std::make_unique<UpdateCycleAdapter>(
                window, s,
                [this] { return std::make_shared<GpsdDriver>("localhost", gpsd.Port()); },
                dir.path().toStdString());
        });
        return app->Start(true);
    }
    // gpsd reports once it has read a whole cycle: keep sending until the window has the answer.
    bool FeedUntil(double lat, double lon, const std::function<bool()>& done) {
        for (int i = 0; i < 50 && !done(); ++i) {
            gpsd.SendFix(lat, lon);
            WaitUntil(done, 100);
        }
        return done();
    }
    GpsdHarness gpsd;
};

TEST_F(GpsdWiring, UpdateThroughGpsdMovesTheOriginAndExitMidRequestIsPrompt) {
    ASSERT_TRUE(StartWithGpsd());
    Window().Dispatch(32771);
    gpsd.SendNoFix();  // still searching: never a position
    QTest::qWait(300);
    EXPECT_TRUE(Busy());
    EXPECT_EQ(state->originValid, 0);
    ASSERT_TRUE(FeedUntil(kAtShop14.lat, kAtShop14.lon, [this] { return Answered(); }));
    EXPECT_EQ(FirstName(), u"店14");

    Window().Dispatch(32771);  // a second request, left waiting for a fix
    gpsd.SendNoFix();
    ASSERT_TRUE(Busy());
    QElapsedTimer clock;
    clock.start();
    Window().close();
    EXPECT_LT(clock.elapsed(), 2000);
    auto& updates = static_cast<UpdateCycleAdapter&>(Window().Updates());
    EXPECT_FALSE(updates.Cycle().Gps().SessionOpen());
}

}  // namespace
}  // namespace zentorak::testing
