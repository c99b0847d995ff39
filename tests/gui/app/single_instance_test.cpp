#include "gui/platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
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
    QSignalSpy handed(&first, &SingleInstance::FilesHanded);
    bool answered = false;
    const QStringList files{QStringLiteral("/d/a b.csv"), QStringLiteral("/d/東京\n.csv")};
    QTimer::singleShot(0, [&] { answered = second.AskRunningCopy(files, 2000); });
    EXPECT_TRUE(raised.wait(3000));
    QTRY_VERIFY(answered);
    EXPECT_EQ(handed.value(0).value(0).toStringList(), files);
    SingleInstance alone(dir.filePath(QStringLiteral("nobody")));
    EXPECT_FALSE(alone.AskRunningCopy({}, 200));
}

// The program, copied beside its settings file, started with `env` added (as `user` when not
// 0); the caller ends it.
void StartProgram(QProcess& process, const QString& folder, const QStringList& env,
                  uid_t user = 0) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString& pair : env) {
        environment.insert(pair.section('=', 0, 0), pair.section('=', 1));
    }
    process.setProcessEnvironment(environment);
    process.setProgram(folder + "/zentorak");
    if (user != 0) {
        process.setChildProcessModifier([user] {
            if (::setgid(user) != 0 || ::setuid(user) != 0) {
                ::_exit(127);
            }
        });
    }
    process.start();
}

// Two real processes: the program copied beside its own settings file, started twice.
TEST(SingleInstance, SecondProgramExitsWithZeroWhileFirstRuns) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), dir.filePath("zentorak")));
    QFile::setPermissions(dir.filePath("zentorak"), QFile::ReadOwner | QFile::ExeOwner);
    WriteCp932File(dir.filePath("zentorak.ini"), {"[System]", "OrgFixedMode:1", ""});
    // The socket lives in the private runtime folder, here away from a real copy.
    const QStringList env{"XDG_RUNTIME_DIR=" + dir.path()};
    QProcess first, second;
    StartProgram(first, dir.path(), env);
    ASSERT_TRUE(first.waitForStarted(5000));
    // The first copy is ready once its socket exists.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("zentorak.socket")), 10000);
    StartProgram(second, dir.path(), env);
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

// The program run by nobody from a read-only folder with its settings beside it, while another
// user (root, this test) listens first where a shared temporary folder would put the socket: the
// program starts as the only copy, says nothing to that socket, reads the settings, and its
// first save goes whole to the configuration folder.
TEST(SingleInstance, AnotherUsersSocketAndAReadOnlyProgramFolder) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "running the program as a second user (nobody) needs root";
    }
    constexpr uid_t kNobody = 65534;
    QTemporaryDir dir;
    const QString shared = dir.filePath("tmp"), program = dir.filePath("program"),
                  home = dir.filePath("home");
    for (const QString& folder : {shared + "/zentorak-65534", program, home}) {
        QDir().mkpath(folder);
    }
    QLocalServer stranger;
    ASSERT_TRUE(stranger.listen(shared + "/zentorak-65534/zentorak.socket"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), program + "/zentorak"));
    WriteCp932File(program + "/zentorak.ini",
                   {"[System]", "OrgFixedMode:1", "", "[Favorite]", "FavName:東京",
                    "FavLat:35/40/40.000", "FavLon:139/46/20.000", ""});
    for (auto [path, mode] : {std::pair{dir.path(), 0755},
                              {shared, 01777},
                              {shared + "/zentorak-65534", 0755},
                              {program + "/zentorak", 0755},
                              {program + "/zentorak.ini", 0644},
                              {program, 0555}}) {
        ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), static_cast<mode_t>(mode)), 0);
    }
    ASSERT_EQ(::chown(home.toLocal8Bit().constData(), kNobody, kNobody), 0);
    QProcess copy;
    StartProgram(copy, program, {"HOME=" + home, "TMPDIR=" + shared}, kNobody);
    EXPECT_FALSE(copy.waitForFinished(3000));
    copy.terminate();
    ASSERT_TRUE(copy.waitForFinished(10000));
    EXPECT_EQ(copy.exitCode(), 0);
    EXPECT_FALSE(stranger.hasPendingConnections());
    const QString saved = ReadCp932File(home + "/.config/zentorak/zentorak.ini");
    EXPECT_TRUE(saved.contains("\r\nFavName:東京\r\n")) << saved.toStdString();
}

}  // namespace
}  // namespace zentorak::testing
