// The W-SIM exchange through a real pseudo-terminal, with the simulated module answering on the
// other side and the port found through a ports/COMn link, as a person would set it up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/platform/code_page.h"

#include "core/position/wsim_port.h"
#include "core/position/wsim_query.h"
#include "wsim/wsim_module.h"
#include "support/wait_until.h"

namespace zentorak {
namespace {

using namespace std::chrono_literals;
using testing::WaitUntil;
namespace fs = std::filesystem;

fs::path MakeTempFolder() {
    char pattern[] = "/tmp/zentorak-wsim-XXXXXX";
    return fs::path(mkdtemp(pattern));
}

struct WsimQueryTest : ::testing::Test {
    void StartModule(wsim::ModuleOptions options, int com = 3) {
        module = std::make_unique<wsim::SimulatedModule>(options);
        std::string error;
        ASSERT_TRUE(module->Start(error)) << error;
        ASSERT_TRUE(module->LinkAs(folder, com, error)) << error;
    }
    void TearDown() override {
        port.Close();
        module.reset();
        fs::remove_all(folder);
    }
    // Instead of a bare 50 ms, waits until the module's "OK" line is in (at most 2 s), so a
    // slow machine cannot fail a test meant to see a whole reply.
    SleepFn UntilReplyComplete() {
        return [this](std::chrono::milliseconds) {
            WaitUntil([this] { return port.Rx().Text().ends_with(u"OK\r\n"); });
        };
    }
    bool WaitForCommands(size_t count) {
        WaitUntil([&] { return module->Commands().size() >= count; });
        return module->Commands().size() == count;
    }
    SleepFn RealSleep() {
        return [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); };
    }

    fs::path folder = MakeTempFolder();
    std::unique_ptr<wsim::SimulatedModule> module;
    WsimPort port{folder};
    ExchangeLog log;
    WsimFix fix;
};

TEST_F(WsimQueryTest, ReplyWithoutPostalCodeGivesPositionAndLogsPostalZero) {
    StartModule({});
    ASSERT_EQ(port.Open("COM3:"), 1);
    ASSERT_EQ(WsimQuery(20, port, log, UntilReplyComplete(), fix), 0);
    ASSERT_TRUE(fix.found);
    EXPECT_EQ(fix.lat, (DmsAngle{35, 39, 29, 0}));
    EXPECT_EQ(fix.lon, (DmsAngle{139, 45, 5, 0}));
    EXPECT_EQ(fix.postal, 0);
    const std::u16string expected =
        u"--------\r\n"
        u"AT@LBC1\r\r\nOK\r\n\r\n"
        u"--------\r\n"
        u"AT@LBC?\r\r\nN35:39:29\r\nE139:45:05\r\nOK\r\n\r\n"
        u"-- 00 --\r\n"
        u"rc:0\r\n"
        u"郵便番号:0\r\n"
        u"緯度:35/39/29.000\r\n"
        u"経度:139/45/05.000\r\n"
        u"--------\r\n";
    // LBC2's reply is read at once, without a wait, so how much of it is in depends on timing:
    // compare everything before it and the two lines after it.
    const std::u16string& text = log.Text();
    ASSERT_TRUE(text.starts_with(expected)) << ToUtf8(text);
    EXPECT_TRUE(text.ends_with(u"\r\n--------\r\nend.\r\n"));
    ASSERT_TRUE(WaitForCommands(3));
    EXPECT_EQ(module->Commands(), (std::vector<std::string>{"AT@LBC1", "AT@LBC?", "AT@LBC2"}));
}

TEST_F(WsimQueryTest, PostalCodeAndNoiseAreHandled) {
    wsim::ModuleOptions options;
    options.postal = "1000001";
    options.noise = true;
    StartModule(options);
    ASSERT_EQ(port.Open("COM3:"), 1);
    ASSERT_EQ(WsimQuery(20, port, log, UntilReplyComplete(), fix), 0);
    EXPECT_EQ(fix.postal, 1000001);
    EXPECT_NE(log.Text().find(u"郵便番号:1000001\r\n"), std::u16string::npos);
}

struct FailingReply {
    const char* name;
    wsim::ModuleOptions options;
    int result;  // the negated parse result of the last attempt
};

TEST_F(WsimQueryTest, BadRepliesAreRetriedAndFail) {
    wsim::ModuleOptions onlyN, decimal, hyphen;
    onlyN.noELine = true;           // ends in state 4 (line start)
    decimal.decimalSeconds = true;  // -125 at the '.'
    hyphen.postal = "1000001";
    hyphen.hyphenPostal = true;  // -110 at the '-'
    const FailingReply rows[] = {
        {"onlyN", onlyN, -4}, {"decimal", decimal, 125}, {"hyphen", hyphen, 110}};
    for (const FailingReply& row : rows) {
        StartModule(row.options);
        ASSERT_EQ(port.Open("COM3:"), 1) << row.name;
        fix.found = true;
        EXPECT_EQ(WsimQuery(3, port, log, UntilReplyComplete(), fix), row.result) << row.name;
        EXPECT_FALSE(fix.found) << row.name;
        EXPECT_TRUE(WaitForCommands(5)) << row.name;  // LBC1, three LBC?, LBC2
        port.Close();
    }
}

TEST_F(WsimQueryTest, SilentModuleWithTwoAttemptsLogsEachAttempt) {
    wsim::ModuleOptions silent;
    silent.silent = true;
    StartModule(silent);
    ASSERT_EQ(port.Open("COM3:"), 1);
    int sleeps = 0;
    const SleepFn counting = [&](std::chrono::milliseconds ms) {
        EXPECT_EQ(ms, 50ms);
        ++sleeps;
    };
    EXPECT_EQ(WsimQuery(2, port, log, counting, fix), -1);  // an empty reply stops in state 1
    EXPECT_EQ(sleeps, 3);  // LBC1 and two queries; LBC2 is read at once
    EXPECT_EQ(log.Text(),
              u"--------\r\n\r\n--------\r\n"
              u"\r\n-- 00 --\r\nRETRY--------\r\n"
              u"\r\n-- 01 --\r\nRETRY--------\r\n"
              u"\r\n--------\r\nend.\r\n");
}

TEST_F(WsimQueryTest, ZeroAttemptsSucceedWithoutPosition) {
    StartModule({});
    ASSERT_EQ(port.Open("COM3:"), 1);
    EXPECT_EQ(WsimQuery(0, port, log, UntilReplyComplete(), fix), 0);
    EXPECT_FALSE(fix.found);
}

TEST_F(WsimQueryTest, RepliesLaterThanTheWaitAreLost) {
    wsim::ModuleOptions late;
    late.late = 400ms;
    StartModule(late);
    ASSERT_EQ(port.Open("COM3:"), 1);
    EXPECT_NE(WsimQuery(2, port, log, RealSleep(), fix), 0);
    EXPECT_FALSE(fix.found);
}

TEST_F(WsimQueryTest, PortNameSelectsItsOwnLink) {
    StartModule({}, 3);
    // COM4 leads to a plain file: it opens but is no terminal, so setting it up fails.
    fs::create_symlink(folder / "not-a-tty", folder / "ports" / "COM4");
    { std::ofstream(folder / "not-a-tty") << "x"; }
    EXPECT_EQ(port.Open("COM4:"), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Open("COM3:"), 1);
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace zentorak
