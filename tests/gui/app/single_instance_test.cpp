#include "gui/platform/single_instance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <QDir>
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
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed[0][0].toStringList(), files);
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
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("zentorak")), 10000);
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

constexpr uid_t kNobody = 65534;

// Another user listens first where the socket would be if the shared temporary folder were
// used: it is never asked anything, and the program starts as the only copy.
TEST(SingleInstance, AnotherUsersSocketNeverStopsTheStart) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "acting as a second user (nobody) needs root";
    }
    QTemporaryDir shared, program;
    ::chmod(shared.path().toLocal8Bit().constData(), 01777);
    const QByteArray own = (shared.path() + "/zentorak-0").toLocal8Bit();
    const QByteArray path = own + "/zentorak";
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t stranger = ::fork();
    if (stranger == 0) {
        // Listens for 6 s; reports 'R' when any connection sent it a byte, else 'N'.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::mkdir(own.constData(), 0755) ||
            ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 4) != 0 || ::write(report[1], "L", 1) != 1) {
            ::_exit(1);
        }
        char got = 'N';
        pollfd wait{fd, POLLIN, 0};
        for (int round = 0; round < 60; ++round) {
            if (::poll(&wait, 1, 100) > 0) {
                const int peer = ::accept(fd, nullptr, nullptr);
                pollfd data{peer, POLLIN, 0};
                char byte;
                if (::poll(&data, 1, 500) > 0 && ::read(peer, &byte, 1) == 1) {
                    got = 'R';
                }
                ::close(peer);
            }
        }
        ::_exit(::write(report[1], &got, 1) == 1 ? 0 : 1);
    }
    char state = 0;
    ASSERT_EQ(::read(report[0], &state, 1), 1);
    ASSERT_EQ(state, 'L');
    EXPECT_FALSE(SingleInstance(QString::fromLocal8Bit(path)).AskRunningCopy({}, 1000));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), program.filePath("zentorak")));
    QFile::setPermissions(program.filePath("zentorak"), QFile::ReadOwner | QFile::ExeOwner);
    WriteCp932File(program.filePath("zentorak.ini"), {"[System]", "OrgFixedMode:1", ""});
    QProcess copy;
    StartProgram(copy, program.path(), {"TMPDIR=" + shared.path()});
    EXPECT_FALSE(copy.waitForFinished(3000));
    copy.terminate();
    ASSERT_TRUE(copy.waitForFinished(10000));
    EXPECT_EQ(copy.exitCode(), 0);
    ASSERT_EQ(::read(report[0], &state, 1), 1);
    EXPECT_EQ(state, 'N');
    ::waitpid(stranger, nullptr, 0);
}

// A read-only copy of the program with its settings beside it, run by a user who may not write
// there: the settings are read, and the first save goes whole to the configuration folder.
TEST(SettingsFolder, SettingsBesideAReadOnlyProgramAreRead) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "running the program as another user (nobody) needs root";
    }
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("program");
    QDir(dir.path()).mkpath("home");
    const QString program = dir.filePath("program"), home = dir.filePath("home");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZENTORAK_EXECUTABLE), program + "/zentorak"));
    WriteCp932File(program + "/zentorak.ini",
                   {"[System]", "OrgFixedMode:1", "", "[Favorite]", "FavName:東京",
                    "FavLat:35/40/40.000", "FavLon:139/46/20.000", ""});
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    ::chmod((program + "/zentorak").toLocal8Bit().constData(), 0755);
    ::chmod((program + "/zentorak.ini").toLocal8Bit().constData(), 0644);
    ::chmod(program.toLocal8Bit().constData(), 0555);
    ASSERT_EQ(::chown(home.toLocal8Bit().constData(), kNobody, kNobody), 0);
    QProcess copy;
    StartProgram(copy, program, {"HOME=" + home, "TMPDIR=" + home}, kNobody);
    EXPECT_FALSE(copy.waitForFinished(3000));
    copy.terminate();
    ASSERT_TRUE(copy.waitForFinished(10000));
    EXPECT_EQ(copy.exitCode(), 0);
    const QString saved = ReadCp932File(home + "/.config/zentorak/zentorak.ini");
    EXPECT_TRUE(saved.contains("\r\nFavName:東京\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\nOrgFixedMode:1\r\n"));
}

}  // namespace
}  // namespace zentorak::testing
