#include "gui/platform/single_instance.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/app_fixture.h"

namespace zentorak::testing {
namespace {

TEST(SingleInstance, SecondCopyAsksTheFirstToRaise) {
    QTemporaryDir dir;
    QString name = dir.filePath(QStringLiteral("instance"));
    SingleInstance first(name);
    ASSERT_TRUE(first.Listen());
    QSignalSpy raised(&first, &SingleInstance::RaiseRequested);
    SingleInstance second(name);
    // The asking side blocks, so the first copy answers from a helper loop here.
    bool answered = false;
    QTimer::singleShot(0, [&] { answered = second.AskRunningCopy(2000); });
    EXPECT_TRUE(raised.wait(3000));
    QTRY_VERIFY(answered);
    SingleInstance alone(dir.filePath(QStringLiteral("nobody")));
    EXPECT_FALSE(alone.AskRunningCopy(200));
}

// Two real processes: the program copied beside its own settings file, started twice.
TEST(SingleInstance, SecondProgramExitsWithZeroWhileFirstRuns) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), dir.filePath("zentorak")));
    QFile::setPermissions(dir.filePath("zentorak"), QFile::ReadOwner | QFile::ExeOwner);
    WriteCp932File(dir.filePath("zentorak.ini"), {"[System]", "OrgFixedMode:1", ""});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TMPDIR", dir.path());  // the socket lives here, away from a real copy
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->setProgram(dir.filePath("zentorak"));
    }
    first.start();
    ASSERT_TRUE(first.waitForStarted(5000));
    // The first copy is ready once its socket exists.
    QString socket = dir.filePath(SingleInstance::DefaultName());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);
    QElapsedTimer clock;
    clock.start();
    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    // The first copy still ends normally and writes its settings.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(ReadCp932File(dir.filePath("zentorak.ini")).contains("OrgFixedMode:1\r\n"));
}

}  // namespace
}  // namespace zentorak::testing
