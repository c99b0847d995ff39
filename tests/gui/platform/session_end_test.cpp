// The session ending: a signal closes what is open, then the window, as the user would; also in
// the real program, during its first-start notice.
#include "gui/platform/session_end.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "gui/app/app_fixture.h"
#include "gui/platform/message_box.h"
#include "gui/platform/single_instance.h"

namespace zentorak::testing {
namespace {

// As at start-up: the signal comes while a message box waits and before there is a window.
TEST(SessionEnd, SignalAnswersOpenBoxesThenClosesTheWindow) {
    SessionEnd end;
    QTimer::singleShot(100, [] { std::raise(SIGTERM); });
    EXPECT_EQ(ShowMessage(nullptr, QStringLiteral("設定ファイルが見つからないので初期化します。"),
                          QStringLiteral("設定ファイルエラー"), NoticeIcon::kError),
              kAnswerOk);
    EXPECT_TRUE(end.Requested());
    // A question shown after the signal is answered too, with its "no".
    EXPECT_EQ(ShowMessage(nullptr, QStringLiteral("本文"), QStringLiteral("題"),
                          NoticeIcon::kQuestion, MessageButtons::YesNo),
              kAnswerNo);
    QWidget window;
    window.show();
    end.SetWindow(&window);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 2000);
}

// The real program started for the first time in a folder of its own: the session ends while
// the first-start notice waits for OK. It must end by itself with the defaults written.
TEST(SessionEnd, FirstStartEndedBySigtermWritesTheDefaults) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), dir.filePath("zentorak")));
    QFile::setPermissions(dir.filePath("zentorak"), QFile::ReadOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TMPDIR", dir.path());  // the single-instance socket lives here
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProgram(dir.filePath("zentorak"));
    program.start();
    ASSERT_TRUE(program.waitForStarted(5000));
    // The socket is made after the signal handlers are set up, just before start-up.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(SingleInstance::DefaultName())), 10000);
    EXPECT_FALSE(QFile::exists(dir.filePath("zentorak.ini")));
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(ReadCp932File(dir.filePath("zentorak.ini")).startsWith("[System]\r\n"));
}

}  // namespace
}  // namespace zentorak::testing
