#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QTest>

#include "gui/app/app_fixture.h"
#include "gui/app/result_panes.h"
#include "gui/platform/screen_dpi.h"
#include "gui/platform/soft_key_bar.h"
#include "gui/resources/menu_builder.h"

namespace zentorak::testing {
namespace {

class Startup : public AppFixture {
protected:
    // Starts with the given [System] lines and position updates that only count the requests;
    // calls receives each request's poll limit.
    bool StartCounting(const std::vector<std::string>& system, std::vector<int>& calls);
};

TEST_F(Startup, MissingSettingsFileIsReportedAndWrittenWithDefaults) {
    ASSERT_TRUE(Start());
    ASSERT_EQ(messages.records.size(), 1u);
    ExpectBox(messages.records[0], QStringLiteral("設定ファイルが見つからないので初期化します。"),
              QStringLiteral("設定ファイルエラー"), NoticeIcon::kError);
    EXPECT_FALSE(messages.records[0].hasOwner);
    QString written = ReadCp932File(Path("zentorak.ini"));
    EXPECT_TRUE(written.startsWith(QStringLiteral("[System]\r\n"))) << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("\r\n[TrgtInfoFile]\r\n")));
    EXPECT_EQ(Window().SoftKeys()->LeftText(), QStringLiteral("更新"));
    EXPECT_EQ(Window().Panes().Log()->toPlainText(), QStringLiteral("START\n"));
    EXPECT_TRUE(Window().Panes().Log()->isVisible());
}

TEST_F(Startup, MissingFileThatCannotBeWrittenEndsStartUp) {
    std::string inside = Path("no-such-folder/zentorak.ini").toStdString();
    state = std::make_unique<AppState>();
    app = std::make_unique<Application>(*state, inside);
    EXPECT_FALSE(app->Start(false));
    ASSERT_EQ(messages.records.size(), 2u);
    EXPECT_EQ(messages.records[1].text,
              QStringLiteral("設定ファイルの書込みに失敗しました。終了します。"));
    EXPECT_EQ(messages.records[1].title, QStringLiteral("設定ファイルエラー"));
}

TEST_F(Startup, ValidFileLoadsTargetsAndFavourites) {
    WriteSettings({"TrgtSrchNum:20", "OrgFixedMode:1"});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(messages.records.empty());
    EXPECT_EQ(state->grid.size(), 30u);
    EXPECT_EQ(state->found.capacity(), 21);
    EXPECT_EQ(state->nameColumn, 2);
    EXPECT_EQ(state->telColumn, 4);
    QAction* first = res::FindCommand(Window().FavoritesMenu(), 2001);
    QAction* second = res::FindCommand(Window().FavoritesMenu(), 2002);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->text(), QStringLiteral("東京"));
    EXPECT_EQ(second->text(), QStringLiteral("大阪"));
    // The favourites popup sits at position 4 of "メニュー", the view popup at 6.
    QList<QAction*> items = Window().MainPopup()->actions();
    EXPECT_EQ(items[4]->text(), QStringLiteral("お気に入り"));
    EXPECT_EQ(items[6]->text(), QStringLiteral("表示"));
    EXPECT_EQ(items[6]->menu()->actions()[0]->text(), QStringLiteral("基点モード(浮動)"));
}

TEST_F(Startup, UnreadableFileEndsStartUp) {
    // A regular file whose first read fails: the process's own memory at address 0.
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), Path("zentorak.ini")));
    EXPECT_FALSE(Start());
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, QStringLiteral("設定ファイルの読込みに失敗しました。"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("設定ファイルエラー"));
}

// Only a regular file is read: a folder in place of the file counts as missing, and the fresh
// file cannot be written over it.
TEST_F(Startup, FolderInPlaceOfTheFileIsMissingAndCannotBeReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("zentorak.ini")));
    EXPECT_FALSE(Start());
    ASSERT_EQ(messages.records.size(), 2u);
    EXPECT_EQ(messages.records[0].text,
              QStringLiteral("設定ファイルが見つからないので初期化します。"));
    EXPECT_EQ(messages.records[1].text,
              QStringLiteral("設定ファイルの書込みに失敗しました。終了します。"));
}

TEST_F(Startup, PeriodicModeRunningShowsStopKeyAndStartsTimer) {
    WriteSettings({"InfoUpdateMode:1", "AutoUpdateMode:1"});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Window().SoftKeys()->LeftText(), QStringLiteral("更新停止"));
    EXPECT_TRUE(Window().UpdateTimerRunning());
    EXPECT_EQ(state->updateTimer, 2001);
}

TEST_F(Startup, PeriodicModeStoppedOffersResumeWithoutTimer) {
    for (const char* saved : {"AutoUpdateMode:0", "AutoUpdateMode:2"}) {
        WriteSettings({"InfoUpdateMode:1", saved});
        ASSERT_TRUE(Start());
        EXPECT_EQ(Window().SoftKeys()->LeftText(), QStringLiteral("更新再開")) << saved;
        EXPECT_FALSE(Window().UpdateTimerRunning());
        EXPECT_EQ(state->settings.AutoUpdateMode, 2);
        TearDown();
    }
}

TEST_F(Startup, ManualModeSavesAutoUpdateModeZeroAtExit) {
    WriteSettings({"InfoUpdateMode:2", "AutoUpdateMode:1"});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Window().SoftKeys()->LeftText(), QStringLiteral("更新"));
    Window().close();
    EXPECT_TRUE(
        ReadCp932File(Path("zentorak.ini")).contains(QStringLiteral("\r\nAutoUpdateMode:0\r\n")));
}

// Counts update requests, to see which ones start-up makes.
class CountingUpdates : public PositionUpdates {
public:
    explicit CountingUpdates(std::vector<int>& calls) : calls_(calls) {}
    void UpdateNow(int pollLimit) override { calls_.push_back(pollLimit); }
    void OnSoftKey() override { calls_.push_back(-1); }
    void OnPositionReady(int source) override { calls_.push_back(-10 - source); }
    bool Busy() const override { return false; }
    void StopPeriodicUpdateFor(std::u16string_view) override { calls_.push_back(-2); }

private:
    std::vector<int>& calls_;
};

TEST_F(Startup, ClosingWritesSettingsWithCurrentOriginMode) {
    WriteSettings({"OrgFixedMode:2"});
    ASSERT_TRUE(Start());
    Window().Dispatch(32782);
    ASSERT_EQ(state->settings.OrgFixedMode, 1);
    Window().Dispatch(32773);  // "終了"
    QString written = ReadCp932File(Path("zentorak.ini"));
    EXPECT_TRUE(written.contains(QStringLiteral("\r\nOrgFixedMode:1\r\n")))
        << written.toStdString();
    // The favourites and the file list survive the round trip.
    EXPECT_TRUE(written.contains(QStringLiteral("FavName:大阪")));
    EXPECT_TRUE(written.contains(QStringLiteral("shops.csv")));
}

TEST_F(Startup, CommandsReachThePositionUpdates) {
    WriteSettings();
    ASSERT_TRUE(Start());
    std::vector<int> calls;
    Window().SetPositionUpdates(std::make_unique<CountingUpdates>(calls));
    Window().Dispatch(32771);
    Window().PostCommand(32796, 1);
    EXPECT_EQ(calls, (std::vector<int>{-1}));  // posted: not yet
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, (std::vector<int>{-1, -11}));
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

bool Startup::StartCounting(const std::vector<std::string>& system, std::vector<int>& calls) {
    WriteSettings(system);
    state = std::make_unique<AppState>();
    app = std::make_unique<Application>(*state, IniPath());
    app->SetPositionUpdatesFactory(
        [&](MainWindow&, AppState&) { return std::make_unique<CountingUpdates>(calls); });
    return app->Start(false);
}

TEST_F(Startup, StartupSearchModeAsksForAnUpdateOnce) {
    std::vector<int> calls;
    ASSERT_TRUE(StartCounting({"StartupSrchMode:1"}, calls));
    EXPECT_EQ(calls, (std::vector<int>{20}));
}

// A running periodic update begins at once rather than 6 s later under a key reading 更新停止.
TEST_F(Startup, RunningPeriodicUpdateBeginsAtOnce) {
    const std::pair<const char*, int> rows[] = {{"StartupSrchMode:2", 2},
                                                {"StartupSrchMode:1", 20}};
    for (const auto& [search, pollLimit] : rows) {
        std::vector<int> calls;
        ASSERT_TRUE(StartCounting({"InfoUpdateMode:1", "AutoUpdateMode:1", search}, calls));
        // One update either way: the search at start is the periodic update's first round.
        EXPECT_EQ(calls, (std::vector<int>{pollLimit})) << search;
        EXPECT_TRUE(Window().UpdateTimerRunning());
        TearDown();
    }
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(Startup, UnholdableTargetCountIsAMemoryFailure) {
    // INT_MAX + 1 would overflow; the start-up ends with the memory message instead.
    WriteSettings({"TrgtSrchNum:2147483647"});
    EXPECT_FALSE(Start());
    ASSERT_EQ(messages.records.size(), 1u);
    EXPECT_EQ(messages.records[0].text, QStringLiteral("メモリの初期化に失敗しました。"));
    EXPECT_EQ(messages.records[0].title, QStringLiteral("メモリ初期化エラー"));
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(Startup, BackgroundLoadingFinishesBeforeTheFirstCommand) {
    WriteSettings({"InfoUpdateMode:1", "AutoUpdateMode:1"});
    state = std::make_unique<AppState>();
    app = std::make_unique<Application>(*state, IniPath());
    app->SetBackgroundLoading(true);
    ASSERT_TRUE(app->Start(true));
    // The soft key is set at once; the timer waits for the targets.
    EXPECT_EQ(Window().SoftKeys()->LeftText(), QStringLiteral("更新停止"));
    Window().Dispatch(2001);  // joins the worker first
    EXPECT_FALSE(app->Loading());
    EXPECT_EQ(state->grid.size(), 30u);
    EXPECT_EQ(state->found.count, 20);
    EXPECT_EQ(state->nameColumn, 2);
    EXPECT_TRUE(Window().UpdateTimerRunning());
}

TEST_F(Startup, BackgroundLoadingEndsAfterTheFirstPaint) {
    WriteSettings();
    state = std::make_unique<AppState>();
    app = std::make_unique<Application>(*state, IniPath());
    app->SetBackgroundLoading(true);
    ASSERT_TRUE(app->Start(true));
    QTRY_VERIFY_WITH_TIMEOUT(!app->Loading(), 5000);
    EXPECT_EQ(state->grid.size(), 30u);
    EXPECT_EQ(state->telColumn, 4);
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(Startup, HiddenWindowAlreadyHasTheHandsetGeometry) {
    WriteSettings();
    state = std::make_unique<AppState>();
    app = std::make_unique<Application>(*state, IniPath());
    ASSERT_TRUE(app->Start(false));
    // 240 x 320 units with two bars of 26: the radar is 240 x 186, its centre (120, 93).
    const Dpi& d = state->dpi;
    EXPECT_EQ(Window().ViewCentrePoint(), (PixelPoint{d.ScaleX(240) / 2, d.ScaleY(186) / 2}));
    EXPECT_EQ(Window().Screen().width, d.ScaleX(240));
    EXPECT_EQ(Window().Screen().height, d.ScaleY(320));
    EXPECT_TRUE(Window().Screen().Portrait());
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

TEST_F(Startup, CtrlQQuitsAndSavesCtrlAAsksForAbout) {
    WriteSettings({"OrgFixedMode:2"});
    ASSERT_TRUE(Start());
    const int& abouts = Dialogs().abouts;
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(abouts, 1);
    state->settings.OrgFixedMode = 1;
    QTest::keyClick(&Window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_TRUE(
        ReadCp932File(Path("zentorak.ini")).contains(QStringLiteral("\r\nOrgFixedMode:1\r\n")));
}

// A settings save whose writes fail (ENOSPC) while failing is set.
SettingsFileCalls FullDiskWhile(const std::shared_ptr<int>& failing) {
    SettingsFileCalls calls;
    calls.write = [failing](int fd, const void* data, size_t size) -> ssize_t {
        if (*failing > 0) {
            --*failing;
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, size);
    };
    return calls;
}

// The save at the end of a normal run checks its result: on failure the user may try again
// (再試行) or give up (キャンセル); the old file stays intact either way.
TEST_F(Startup, FailedSaveAtExitOffersRetryUntilCancelled) {
    WriteSettings({"TrgtSrchNum:20"});
    ASSERT_TRUE(Start());
    QString before = ReadCp932File(Path("zentorak.ini"));
    state->settings.TrgtSrchNum = 40;
    app->SetSettingsFileCalls(FullDiskWhile(std::make_shared<int>(1000)));
    messages.answers = {kAnswerRetry, kAnswerCancel};
    app->Teardown();
    ASSERT_EQ(messages.records.size(), 2u);
    for (const MessageRecord& r : messages.records) {
        ExpectBox(r, QStringLiteral("設定ファイルの書込みに失敗しました。"),
                  QStringLiteral("設定ファイルエラー"), NoticeIcon::kError);
        EXPECT_EQ(r.buttons, MessageButtons::RetryCancel);
    }
    EXPECT_EQ(ReadCp932File(Path("zentorak.ini")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // ini and csv
}

TEST_F(Startup, RetriedSaveAtExitWritesOnceTheDiskHasRoom) {
    WriteSettings({"TrgtSrchNum:20"});
    ASSERT_TRUE(Start());
    state->settings.TrgtSrchNum = 40;
    app->SetSettingsFileCalls(FullDiskWhile(std::make_shared<int>(1)));
    messages.answers = {kAnswerRetry};
    app->Teardown();
    EXPECT_EQ(messages.records.size(), 1u);
    EXPECT_TRUE(
        ReadCp932File(Path("zentorak.ini")).contains(QStringLiteral("\r\nTrgtSrchNum:40\r\n")));
}

// Ended by a signal (the session going away) nobody may be there to answer: the failure goes
// to standard error instead of a message box.
TEST_F(Startup, FailedSaveAtExitAfterASignalIsWrittenToStandardError) {
    WriteSettings();
    ASSERT_TRUE(Start());
    app->SetSettingsFileCalls(FullDiskWhile(std::make_shared<int>(1000)));
    app->EndingBySignal();
    ::testing::internal::CaptureStderr();
    Window().close();
    std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(messages.records.empty());
    EXPECT_NE(error.find("設定ファイルの書込みに失敗しました。"), std::string::npos) << error;
    EXPECT_NE(error.find(IniPath()), std::string::npos) << error;
}

}  // namespace
}  // namespace zentorak::testing

namespace zentorak::testing {
namespace {

// The item list control and the window agree on the handset screen they stand for.
TEST_F(Startup, ControlsSeeTheWindowsHandsetScreen) {
    WriteSettings();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    EXPECT_EQ(CurrentHandsetScreen(), Window().Screen());
    Window().resize(Window().width() + 40, Window().height() - 30);
    EXPECT_EQ(CurrentHandsetScreen(), Window().Screen());
    app.reset();  // without a window: the default handset again
    EXPECT_EQ(CurrentHandsetScreen(), DefaultHandsetScreen(ScreenDpi()));
}

}  // namespace
}  // namespace zentorak::testing
