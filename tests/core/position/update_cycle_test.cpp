// The update cycle with a recording window, a scripted GPS driver and the simulated W-SIM
// module on a pty: soft-key states, the timer, messages, calls and the source switch.
#include "core/position/update_cycle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <fstream>

#include "core/geo/datum.h"
#include "core/position/scripted_gps_driver.h"
#include "core/text/code_page.h"
#include "support/wait_until.h"
#include "wsim/wsim_module.h"

namespace zentorak {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedDriver;
using testing::WaitUntil;
namespace fs = std::filesystem;

// Records every call as one line of text; position-ready posts wait in a queue until the test
// delivers them, as the window's event loop would.
class RecordingHost : public UpdateHost {
public:
    Settings settings;
    std::vector<std::string> calls;
    std::optional<std::u16string> telephone;
    bool shellAccepts = true;
    std::u16string logText;
    std::function<void()> onLogText;
    std::function<void()> onMessage;  // runs inside the message box, as its event loop would

    Settings& CurrentSettings() override { return settings; }
    void SetOrigin(const DmsAngle& lat, const DmsAngle& lon) override {
        Record("origin " + ToUtf8(FormatDms(lat)) + " " + ToUtf8(FormatDms(lon)));
    }
    void SetSoftKeyText(std::u16string_view text) override { Record("key " + ToUtf8(text)); }
    void StartTimer(int id, int ms) override {
        Record("timer " + std::to_string(id) + " " + std::to_string(ms));
    }
    void KillTimer(int id) override { Record("kill " + std::to_string(id)); }
    void ShowMessage(const Notice& notice) override {
        Record("message " + ToUtf8(notice.text) + " | " + ToUtf8(notice.title) + " | " +
               std::to_string(static_cast<int>(notice.icon)));
        if (onMessage) {
            onMessage();
        }
    }
    void ShowLogPane() override { Record("log pane"); }
    void SetLogText(const std::u16string& text) override {
        logText = text;
        if (onLogText) {
            onLogText();
        }
    }
    void BeginWaitCursor() override { Record("wait"); }
    void EndWaitCursor() override { Record("arrow"); }
    void PostPositionReady(PositionSource source) override {
        std::lock_guard lock(mutex_);
        posts_.push_back(source);
        posted_.notify_all();
    }
    void RepaintNow() override { Record("repaint"); }
    void SearchAroundOrigin() override { Record("search"); }
    std::optional<std::u16string> TelephoneText(int) override { return telephone; }
    bool OpenUrl(std::u16string_view url) override {
        Record("url " + ToUtf8(url));
        return shellAccepts;
    }

    // Hands queued posts to the cycle; waits up to `limit` for at least one.
    int Deliver(UpdateCycle& cycle, std::chrono::milliseconds limit = 0ms) {
        std::deque<PositionSource> posts;
        {
            std::unique_lock lock(mutex_);
            posted_.wait_for(lock, limit, [&] { return !posts_.empty(); });
            posts.swap(posts_);
        }
        for (PositionSource source : posts) {
            cycle.OnPositionReady(source);
        }
        return static_cast<int>(posts.size());
    }
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<PositionSource> posts_;
};

// The origin that a WGS 84 fix becomes: the same point on the Tokyo datum (the conversion itself
// is checked against PROJ in the datum tests).
std::string OriginFor(double lat, double lon) {
    double tokyoLat = 0;
    double tokyoLon = 0;
    Wgs84ToTokyo(lat, lon, tokyoLat, tokyoLon);
    return "origin " + ToUtf8(FormatDms(DegreesToDms(tokyoLat))) + " " +
           ToUtf8(FormatDms(DegreesToDms(tokyoLon)));
}

struct UpdateCycleTest : ::testing::Test {
    UpdateCycleTest() { host.settings.PortName = 3; }
    static fs::path MakeFolder() {
        char pattern[] = "/tmp/zentorak-cycle-XXXXXX";
        return fs::path(mkdtemp(pattern));
    }
    ~UpdateCycleTest() override { fs::remove_all(folder); }

    void StartModule(wsim::ModuleOptions options = {}) {
        module = std::make_unique<wsim::SimulatedModule>(options);
        std::string error;
        ASSERT_TRUE(module->Start(error)) << error;
        ASSERT_TRUE(module->LinkAs(folder, 3, error)) << error;
    }
    // The GPS answer: the fix, its posted command handed to the cycle. The reader clears the
    // busy flag just after posting; that is waited for too, so the next update is not refused.
    int Answer(double lat, double lon) {
        driver->Deliver(lat, lon);
        WaitUntil([this] { return cycle->GpsBusy().load() == 0; });
        return host.Deliver(*cycle, 2s);
    }
    size_t QueriesSent() const {
        size_t count = 0;
        for (const std::string& c : module->Commands()) {
            count += c == "AT@LBC?";
        }
        return count;
    }
    // Waits until the module has seen `count` commands (its thread runs on its own).
    bool ModuleSaw(size_t count) {
        WaitUntil([&] { return module->Commands().size() >= count; });
        return module->Commands().size() == count;
    }
    fs::path folder = MakeFolder();
    RecordingHost host;
    std::shared_ptr<ScriptedDriver> driver = std::make_shared<ScriptedDriver>();
    std::unique_ptr<wsim::SimulatedModule> module;
    std::unique_ptr<UpdateCycle> cycle = std::make_unique<UpdateCycle>(
        host, [this] { return driver; }, folder,
        [](std::chrono::milliseconds) { std::this_thread::sleep_for(60ms); });
};

TEST_F(UpdateCycleTest, SoftKeyStopsAndResumesThePeriodicUpdate) {
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 2;
    EXPECT_EQ(SoftKeyTextFor(host.settings), u"更新再開");

    cycle->OnUpdateSoftKey();  // resume: one update now, the timer after the first position
    EXPECT_EQ(host.settings.AutoUpdateMode, 1);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"key 更新停止", "repaint"}));
    EXPECT_EQ(cycle->GpsBusy().load(), 1);
    ASSERT_EQ(Answer(35.6875, 139.703125), 1);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{OriginFor(35.6875, 139.703125), "search",
                                                     "timer 2001 6000"}));

    cycle->OnTimer();  // a tick: another request; the timer stays armed
    ASSERT_EQ(Answer(35.5, 139.75), 1);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{"repaint", OriginFor(35.5, 139.75), "search"}));

    cycle->OnUpdateSoftKey();  // stop
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"kill 2001", "key 更新再開"}));
    EXPECT_EQ(host.settings.AutoUpdateMode, 2);
    EXPECT_FALSE(cycle->TimerRunning());
}

TEST_F(UpdateCycleTest, GpsFixBecomesAnOriginOnTheTokyoDatum) {
    host.settings.InfoUpdateMode = 2;
    cycle->OnUpdateSoftKey();
    // cs2cs -f %.9f EPSG:4326 EPSG:4301 gives 34.996704489 139.003142359 for this fix, that is
    // 34/59/48.136 139/00/11.312 (truncated to milliseconds of arc).
    ASSERT_EQ(Answer(35.0, 139.0), 1);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{"repaint", "origin 34/59/48.136 139/00/11.312", "search"}));
}

TEST_F(UpdateCycleTest, ShutdownDuringARequestStopsTheSessionAndTheTimer) {
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 1;
    cycle->UpdateNow(kPeriodicPollLimit);
    ASSERT_EQ(Answer(35.0, 135.0), 1);
    cycle->OnTimer();  // a request still waiting at exit
    host.Take();
    const auto start = std::chrono::steady_clock::now();
    cycle->Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5000ms);
    EXPECT_FALSE(cycle->Gps().SessionOpen());
    EXPECT_EQ(host.Take(), std::vector<std::string>{"kill 2001"});
    cycle->Shutdown();  // and again, as the destructor will
    EXPECT_TRUE(host.Take().empty());
}

TEST_F(UpdateCycleTest, LateAnswerWhileStoppedDoesNotStartTheTimer) {
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 2;
    cycle->OnUpdateSoftKey();  // resume
    cycle->OnUpdateSoftKey();  // and stop again before any position came
    host.Take();
    ASSERT_EQ(Answer(35.0, 135.0), 1);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{OriginFor(35.0, 135.0), "search"}));
    EXPECT_FALSE(cycle->TimerRunning());
}

TEST_F(UpdateCycleTest, ManualModeUpdatesOncePerPressWithoutTimer) {
    host.settings.InfoUpdateMode = 2;
    EXPECT_EQ(SoftKeyTextFor(host.settings), u"更新");
    cycle->OnUpdateSoftKey();
    ASSERT_EQ(Answer(34.0, 135.0), 1);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"repaint", OriginFor(34.0, 135.0), "search"}));
    EXPECT_EQ(host.settings.AutoUpdateMode, 0);
}

TEST_F(UpdateCycleTest, FailedGpsStartIsSaidAndTheNextUpdateTriesAgain) {
    const std::string failed =
        "message GPSを開くことができませんでした。現在地取得を中止します。 | GPSオープン失敗 | 0";
    driver->openError = ECONNREFUSED;  // no position service answers
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 1;
    int ticks = 0;
    host.onMessage = [&] {
        ++ticks;
        cycle->OnTimer();  // a tick while the box is open adds no second box
    };
    cycle->NoteTimerStarted();
    cycle->OnTimer();  // the box says acquisition stops: so does the periodic update
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"kill 2001", "key 更新再開", failed, "repaint",
                                                     "repaint"}));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(host.settings.AutoUpdateMode, 2);
    EXPECT_EQ(cycle->GpsBusy().load(), 0);
    EXPECT_FALSE(cycle->TimerRunning());
    EXPECT_EQ(host.Deliver(*cycle), 0);
    driver->openError = 0;
    cycle->OnUpdateSoftKey();  // resumed, it tries again
    EXPECT_EQ(cycle->GpsBusy().load(), 1);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"key 更新停止", "repaint"}));
}

// A service that opened and then gave up (GeoClue's agent said no) ends the request with the
// same failure box, and the radar stops saying "位置取得中".
TEST_F(UpdateCycleTest, ServiceThatFailsAfterOpeningIsSaidOnce) {
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 1;
    cycle->NoteTimerStarted();
    cycle->OnTimer();
    EXPECT_EQ(cycle->GpsBusy().load(), 1);
    host.Take();
    driver->deviceFailed = true;
    driver->ChangeDevice();
    WaitUntil([this] { return cycle->GpsBusy().load() == 0; });
    ASSERT_EQ(host.Deliver(*cycle, 2s), 1);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{
                  "kill 2001", "key 更新再開",
                  "message GPSを開くことができませんでした。現在地取得を中止します。 | "
                  "GPSオープン失敗 | 0"}));
    EXPECT_FALSE(cycle->Gps().SessionOpen());
}

struct OptionsRow {
    const char* name;
    int infoMode, autoMode;
    std::vector<std::string> calls;
    int autoModeAfter;
};

TEST_F(UpdateCycleTest, SoftKeyAfterTheOptions) {
    const OptionsRow rows[] = {
        {"periodicRunning", 1, 1, {"repaint", "key 更新停止"}, 1},
        {"periodicStopped", 1, 2, {"kill 2001", "key 更新再開"}, 2},
        {"periodicNeverStarted", 1, 0, {"kill 2001", "key 更新再開"}, 0},
        {"manual", 2, 1, {"kill 2001", "key 更新"}, 0},
    };
    for (const OptionsRow& row : rows) {
        // Start each row with the timer running, from a periodic update's first answer.
        host.settings.InfoUpdateMode = 1;
        host.settings.AutoUpdateMode = 1;
        if (!cycle->TimerRunning()) {
            cycle->UpdateNow(kPeriodicPollLimit);
            ASSERT_EQ(Answer(35.0, 135.0), 1);
        }
        host.Take();
        host.settings.InfoUpdateMode = row.infoMode;
        host.settings.AutoUpdateMode = row.autoMode;
        cycle->AfterOptionsApplied();
        EXPECT_EQ(host.Take(), row.calls) << row.name;
        EXPECT_EQ(host.settings.AutoUpdateMode, row.autoModeAfter) << row.name;
    }
}

struct StartupRow {
    int infoMode, autoMode;
    const char16_t* text;
    int autoModeAfter;
    bool running;
};

// Start-up, the soft key and the options share one rule for the modes and the key's text.
TEST(UpdateModes, StartupBringsTheStoredModesInLine) {
    const StartupRow rows[] = {
        {1, 1, u"更新停止", 1, true}, {1, 0, u"更新再開", 2, false}, {1, 2, u"更新再開", 2, false},
        {2, 1, u"更新", 0, false},    {2, 2, u"更新", 0, false},     {3, 1, u"更新", 0, false},
    };
    for (const StartupRow& row : rows) {
        Settings s;
        s.InfoUpdateMode = row.infoMode;
        s.AutoUpdateMode = row.autoMode;
        EXPECT_EQ(StartupUpdateModes(s), row.text) << row.infoMode << "/" << row.autoMode;
        EXPECT_EQ(s.AutoUpdateMode, row.autoModeAfter);
        EXPECT_EQ(PeriodicRunning(s), row.running);
        EXPECT_EQ(SoftKeyTextFor(s), row.text);
    }
}

// A running periodic update starts with an update at once; the search at start asks for more
// polls and is the only update then.
TEST(UpdateModes, StartupUpdateAtOnce) {
    struct Row {
        int startupSearch, infoMode, autoMode, pollLimit;
    };
    const Row rows[] = {{2, 2, 0, 0},  {2, 1, 2, 0},  {2, 1, 1, kPeriodicPollLimit},
                        {1, 2, 0, 20}, {1, 1, 1, 20}, {1, 1, 2, 20}};
    for (const Row& row : rows) {
        Settings s;
        s.StartupSrchMode = row.startupSearch;
        s.InfoUpdateMode = row.infoMode;
        s.AutoUpdateMode = row.autoMode;
        EXPECT_EQ(StartupPollLimit(s), row.pollLimit)
            << row.startupSearch << " " << row.infoMode << "/" << row.autoMode;
    }
}

TEST_F(UpdateCycleTest, CallDuringPeriodicUpdateStopsItWithANoticeFirst) {
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 1;
    cycle->UpdateNow(kPeriodicPollLimit);
    ASSERT_EQ(Answer(35.0, 135.0), 1);
    host.Take();
    host.telephone = u"03-1234-5678";
    EXPECT_EQ(cycle->PlaceCall(0), 0);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{
                  "kill 2001", "key 更新再開",
                  "message 電話をかけるため定期更新を停止しました。 | 定期更新停止 | 2",
                  "url TEL:03-1234-5678"}));
    EXPECT_EQ(host.settings.AutoUpdateMode, 2);
    EXPECT_EQ(SoftKeyTextFor(host.settings), u"更新再開");
}

TEST_F(UpdateCycleTest, NumbersUpTo25CharactersAreDialled) {
    const std::string failed = "message 電話をすることができませんでした。 | 電話失敗 | 0";
    host.telephone = std::u16string(25, u'9');
    EXPECT_EQ(cycle->PlaceCall(0), 0);
    EXPECT_EQ(host.Take(), std::vector<std::string>{"url TEL:" + std::string(25, '9')});
    host.telephone = std::u16string(26, u'9');
    EXPECT_EQ(cycle->PlaceCall(0), kCallFailed);
    EXPECT_EQ(host.Take(), std::vector<std::string>{failed});
    host.telephone.reset();  // no telephone column, or no text for this target
    EXPECT_EQ(cycle->PlaceCall(0), kCallFailed);
    EXPECT_EQ(host.Take(), std::vector<std::string>{failed});
    host.telephone = u"0312345678";
    host.shellAccepts = false;
    EXPECT_EQ(cycle->PlaceCall(0), kCallFailed);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{"url TEL:0312345678", failed}));
}

TEST(TelephoneAddress, OnlyWhatANumberHolds) {
    const std::pair<std::u16string, std::optional<std::u16string>> rows[] = {
        {u"03-1234-5678", u"TEL:03-1234-5678"},
        {u"03-1234-5678&x=1#frag", u"TEL:03-1234-56781%23"},
        {u"+81 (3) 1234.5678", u"TEL:+81(3)1234.5678"},
        {u"*31#0312345678", u"TEL:%2A31%230312345678"},
        {u"03%0a1234?5678", u"TEL:03012345678"},
        {u"不明", std::nullopt},
    };
    for (const auto& [field, address] : rows) {
        EXPECT_EQ(TelephoneAddress(field), address) << ToUtf8(field);
    }
}

TEST_F(UpdateCycleTest, WsimAcquisitionShowsTheLogAndSetsTheOrigin) {
    StartModule();
    host.settings.MthdGetLocInfo = 1;
    EXPECT_EQ(cycle->AcquireWsimPosition(kManualPollLimit), 0);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{
                               "wait", "log pane", "origin 35/39/29.000 139/45/05.000", "arrow"}));
    EXPECT_NE(host.logText.find(u"緯度:35/39/29.000\r\n"), std::u16string::npos);
    ASSERT_EQ(host.Deliver(*cycle), 1);
    EXPECT_EQ(host.Take(), std::vector<std::string>{"search"});
}

TEST_F(UpdateCycleTest, PollLimitIs20ByHandAnd2ForATick) {
    wsim::ModuleOptions silent;
    silent.silent = true;
    StartModule(silent);
    cycle = std::make_unique<UpdateCycle>(
        host, [this] { return driver; }, folder, [](std::chrono::milliseconds) {});
    host.settings.MthdGetLocInfo = 1;
    host.settings.InfoUpdateMode = 2;
    cycle->OnUpdateSoftKey();
    ASSERT_TRUE(ModuleSaw(22));
    EXPECT_EQ(QueriesSent(), 20u);
    cycle->OnTimer();
    ASSERT_TRUE(ModuleSaw(22 + 4));
    EXPECT_EQ(QueriesSent(), 22u);
    EXPECT_EQ(host.Deliver(*cycle), 2);  // position-ready follows even without a position
}

// The log says what went wrong; an unchanged list in front of it would look like a fresh result.
TEST_F(UpdateCycleTest, WsimQueryWithoutPositionKeepsTheLogInFront) {
    wsim::ModuleOptions silent;
    silent.silent = true;
    StartModule(silent);
    host.settings.MthdGetLocInfo = 1;
    host.settings.InfoUpdateMode = 1;
    host.settings.AutoUpdateMode = 2;
    cycle->OnUpdateSoftKey();  // resume
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{"key 更新停止", "wait", "log pane", "arrow", "repaint"}));
    EXPECT_NE(host.logText.find(u"RETRY--------"), std::u16string::npos);
    ASSERT_EQ(host.Deliver(*cycle), 1);
    // No search (it would bring the list back), but the periodic update goes on.
    EXPECT_EQ(host.Take(), std::vector<std::string>{"timer 2001 6000"});
}

TEST_F(UpdateCycleTest, TickDuringAnAcquisitionDoesNothing) {
    StartModule();
    host.settings.MthdGetLocInfo = 1;
    int ticks = 0;
    host.onLogText = [&] {
        if (ticks++ == 0) {
            cycle->OnTimer();  // as if the timer fired while the query runs
        }
    };
    EXPECT_EQ(cycle->AcquireWsimPosition(kManualPollLimit), 0);
    EXPECT_GT(ticks, 1);
    // One exchange only: a single LBC1 (a slow machine may add an LBC? retry, nothing more).
    std::this_thread::sleep_for(100ms);
    const std::vector<std::string> commands = module->Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT@LBC1"), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT@LBC2"), 1);
    EXPECT_EQ(host.Deliver(*cycle), 1);
}

TEST_F(UpdateCycleTest, PortThatCannotBeOpenedIsReportedWithoutPositionReady) {
    // COM3 leads to a plain file, which opens but cannot be set up as a serial line.
    fs::create_directories(folder / "ports");
    { std::ofstream(folder / "plain") << "x"; }
    fs::create_symlink(folder / "plain", folder / "ports" / "COM3");
    host.settings.MthdGetLocInfo = 1;
    EXPECT_EQ(cycle->AcquireWsimPosition(kManualPollLimit), kPortOpenFailed);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{
                  "wait", "arrow",
                  "message ポートを開くことができませんでした。現在地取得を中止します。 | "
                  "ポートオープン失敗 | 0"}));
    EXPECT_EQ(host.Deliver(*cycle, 100ms), 0);
}

// The port-failure message box runs a nested event loop on the window's thread, so the timer
// can tick inside it while the acquisition still holds its flag: the tick does nothing.
TEST_F(UpdateCycleTest, TickInsideThePortFailureMessageDoesNothing) {
    fs::create_directories(folder / "ports");
    fs::create_symlink(folder / "gone", folder / "ports" / "COM3");  // a stale link
    host.settings.MthdGetLocInfo = 1;
    int ticks = 0;
    host.onMessage = [&] {
        if (ticks++ == 0) {
            cycle->OnTimer();
        }
    };
    EXPECT_EQ(cycle->AcquireWsimPosition(kManualPollLimit), kPortOpenFailed);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(host.Take(),
              (std::vector<std::string>{
                  "wait", "arrow",
                  "message ポートを開くことができませんでした。現在地取得を中止します。 | "
                  "ポートオープン失敗 | 0",
                  "repaint"}));
    // Once the message is gone the next update tries again.
    host.onMessage = nullptr;
    EXPECT_EQ(cycle->AcquireWsimPosition(kManualPollLimit), kPortOpenFailed);
    EXPECT_EQ(host.Deliver(*cycle, 100ms), 0);
}

TEST_F(UpdateCycleTest, SwitchingFromGpsToWsimNeverShowsAnOlderGpsPosition) {
    wsim::ModuleOptions silent;  // the module finds no position
    silent.silent = true;
    StartModule(silent);
    cycle->UpdateNow(kManualPollLimit);  // GPS
    ASSERT_EQ(Answer(35.0, 135.0), 1);
    cycle->UpdateNow(kManualPollLimit);  // a second request whose answer comes late
    host.Take();

    host.settings.MthdGetLocInfo = 1;  // the options switch to W-SIM
    cycle->UpdateNow(kPeriodicPollLimit);
    driver->Deliver(36.0, 136.0);  // the pending GPS request answers now
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(host.Deliver(*cycle, 2s), 2);
    for (const std::string& call : host.Take()) {
        EXPECT_EQ(call.find("origin"), std::string::npos) << call;
    }
}

TEST_F(UpdateCycleTest, GpsServiceLineIsLoggedOnlyWhenItChanges) {
    cycle->NoteGpsService(u"GPS: gpsd に接続しました");
    cycle->NoteGpsService(u"GPS: gpsd に接続しました");  // the next periodic update
    cycle->NoteGpsService(u"GPS: gpsd に接続できないため GeoClue を使います");
    cycle->NoteGpsService(u"GPS: gpsd に接続しました");
    EXPECT_EQ(host.logText,
              u"START\r\nGPS: gpsd に接続しました\r\n"
              u"GPS: gpsd に接続できないため GeoClue を使います\r\nGPS: gpsd に接続しました\r\n");
}

}  // namespace
}  // namespace zentorak
