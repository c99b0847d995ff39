// Saving must never lose the old file: failures are injected into single calls, and a real
// unwritable folder and a real full file system are tried in forked children.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>

#include "core/settings/settings_store.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kOldFile = "[System]\r\nTrgtSrchNum:40\r\n\r\n";

size_t EntriesIn(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

int SaveWith(const std::string& path, const SettingsFileCalls& calls) {
    return SaveSettingsFile(path, Settings{}, LocationInfoFileList{}, FavoriteList{}, calls);
}

// A write function that fails (errno ENOSPC) from its failAt-th call on; before that it writes.
SettingsFileCalls FailingWrites(int failAt, bool shortFirst = false) {
    auto calls = std::make_shared<int>(0);
    SettingsFileCalls io;
    io.write = [=](int fd, const void* data, size_t size) -> ssize_t {
        if (++*calls >= failAt) {
            if (shortFirst && *calls == failAt && size > 1) {
                return ::write(fd, data, size / 2);  // a short write, then the disk is full
            }
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, size);
    };
    return io;
}

TEST(SaveSettingsFile, FailedWritesKeepTheOldFileAndRemoveTheTemporary) {
    struct Row {
        const char* name;
        SettingsFileCalls calls;
        int expected;
    } rows[] = {
        {"first line", FailingWrites(1), -2},
        {"short first line", FailingWrites(1, true), -2},
        {"later line", FailingWrites(5), -3},
        {"short later line", FailingWrites(7, true), -3},
        {"sync",
         {{},
          [](int) {
              errno = EIO;
              return -1;
          },
          {}},
         -3},
        {"rename",
         {{},
          {},
          [](const char*, const char*) {
              errno = EXDEV;
              return -1;
          }},
         -3},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        WriteBytes(folder.File("zentorak.ini"), kOldFile);
        EXPECT_EQ(SaveWith(folder.File("zentorak.ini"), row.calls), row.expected) << row.name;
        EXPECT_EQ(ReadBytes(folder.File("zentorak.ini")), kOldFile) << row.name;
        EXPECT_EQ(EntriesIn(folder.path()), 1u) << row.name;
    }
}

// Saves killed before their rename leave ".zentorak.ini.XXXXXX" files; the next save removes
// them, and nothing else: other names, our pattern with a different length or other characters,
// and a folder or link of that name stay.
TEST(SaveSettingsFile, RemovesTemporaryFilesThatKilledSavesLeftBehind) {
    TempFolder folder;
    WriteBytes(folder.File("zentorak.ini"), kOldFile);
    for (const char* leftover : {".zentorak.ini.a1B2c3", ".zentorak.ini.ZZZZZZ"}) {
        WriteBytes(folder.File(leftover), kOldFile + "half a favourite");
    }
    const char* kept[] = {
        ".zentorak.ini.abc12", ".zentorak.ini.abc1234", ".zentorak.ini.ab-123", ".other.ini.a1B2c3",
        "zentorak.ini.a1B2c3", ".zentorak.ini.folder",  ".zentorak.ini.linkXX", "notes.txt"};
    for (const char* name : kept) {
        WriteBytes(folder.File(name), "keep");
    }
    std::filesystem::remove(folder.File(".zentorak.ini.folder"));
    std::filesystem::create_directory(folder.File(".zentorak.ini.folder"));
    std::filesystem::remove(folder.File(".zentorak.ini.linkXX"));
    std::filesystem::create_symlink("notes.txt", folder.File(".zentorak.ini.linkXX"));
    ASSERT_EQ(SaveWith(folder.File("zentorak.ini"), {}), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.File(".zentorak.ini.a1B2c3")));
    EXPECT_FALSE(std::filesystem::exists(folder.File(".zentorak.ini.ZZZZZZ")));
    for (const char* name : kept) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(folder.File(name))))
            << name;
    }
    EXPECT_EQ(EntriesIn(folder.path()), 1u + std::size(kept));
}

TEST(SaveSettingsFile, RefusesDeviceNodesAndFolders) {
    TempFolder folder;
    EXPECT_EQ(SaveWith("/dev/full", {}), -1);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    // Also through a link: the link and the node stay as they are.
    std::filesystem::create_symlink("/dev/null", folder.File("link.ini"));
    EXPECT_EQ(SaveWith(folder.File("link.ini"), {}), -1);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.ini")));
    EXPECT_EQ(SaveWith(folder.path(), {}), -1);
    EXPECT_EQ(SaveWith(folder.File("missing/zentorak.ini"), {}), -1);
    EXPECT_EQ(SaveWith("", {}), -1);
}

TEST(SaveSettingsFile, WritesThroughASymbolicLink) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("real"));
    WriteBytes(folder.File("real/settings.ini"), kOldFile);
    std::filesystem::create_symlink("real/settings.ini", folder.File("zentorak.ini"));
    ASSERT_EQ(SaveWith(folder.File("zentorak.ini"), {}), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("zentorak.ini")));
    EXPECT_EQ(ReadBytes(folder.File("real/settings.ini")).rfind("[System]\r\nProgram Name", 0), 0u);
    EXPECT_EQ(EntriesIn(folder.File("real")), 1u);
}

TEST(SaveSettingsFile, KeepsThePermissionBits) {
    TempFolder folder;
    WriteBytes(folder.File("zentorak.ini"), kOldFile);
    ::chmod(folder.File("zentorak.ini").c_str(), 0604);
    ASSERT_EQ(SaveWith(folder.File("zentorak.ini"), {}), 0);
    struct stat st {};
    ASSERT_EQ(::stat(folder.File("zentorak.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    // A new file gets the usual mode under the umask, not the temporary file's 0600.
    mode_t mask = ::umask(027);
    ASSERT_EQ(SaveWith(folder.File("new.ini"), {}), 0);
    ::umask(mask);
    ASSERT_EQ(::stat(folder.File("new.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesIn(folder.path()), 2u);  // no temporary file left behind
}

// Runs body in a child process and returns its exit status (or -1 if it did not exit).
template <typename Body>
int InChild(Body body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SaveSettingsFile, UnwritableFolderLeavesTheOldFile) {
    TempFolder folder;
    WriteBytes(folder.File("zentorak.ini"), kOldFile);
    ::chmod(folder.path().c_str(), 0555);
    int status = InChild([&] {
        // Root ignores the permission bits, so the child saves as an unprivileged user.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            return 99;
        }
        return -SaveWith(folder.File("zentorak.ini"), {});
    });
    EXPECT_EQ(status, 1);  // -1: the temporary file cannot be created
    EXPECT_EQ(ReadBytes(folder.File("zentorak.ini")), kOldFile);
    EXPECT_EQ(EntriesIn(folder.path()), 1u);
    ::chmod(folder.path().c_str(), 0755);
}

// In a private mount namespace: a 64 KiB tmpfs holding an old file, then filled up.
int SaveOnFullFileSystem(const std::string& mountPoint) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        return 77;
    }
    std::string ini = mountPoint + "/zentorak.ini";
    if (SaveWith(ini, {}) != 0) {
        return 98;
    }
    std::string before = ReadBytes(ini);
    int fill = ::open((mountPoint + "/fill").c_str(), O_WRONLY | O_CREAT, 0600);
    static const char block[4096] = {};
    while (::write(fill, block, sizeof block) > 0) {
    }
    ::close(fill);
    Settings settings;
    settings.TrgtSrchNum = 60;
    int result = SaveSettingsFile(ini, settings, {}, {});
    bool intact = ReadBytes(ini) == before && EntriesIn(mountPoint) == 2;
    return intact ? -result : 97;
}

// The save at exit asks after each failure whether to try again.
TEST(SaveSettingsFileRetrying, TriesAgainWhileAskedTo) {
    TempFolder folder;
    WriteBytes(folder.File("zentorak.ini"), kOldFile);
    auto saves = std::make_shared<int>(0);
    SettingsFileCalls failTwice;
    failTwice.fsync = [saves](int fd) {
        if (++*saves <= 2) {
            errno = ENOSPC;
            return -1;
        }
        return ::fsync(fd);
    };
    std::vector<int> failures;
    auto retry = [&](int failure) {
        failures.push_back(failure);
        return true;
    };
    EXPECT_EQ(
        SaveSettingsFileRetrying(folder.File("zentorak.ini"), Settings{}, {}, {}, retry, failTwice),
        0);
    EXPECT_EQ(failures, (std::vector<int>{-3, -3}));
    EXPECT_EQ(ReadBytes(folder.File("zentorak.ini")).rfind("[System]\r\nProgram Name", 0), 0u);
    // Cancelled at the first failure: one attempt, the old file stays.
    WriteBytes(folder.File("zentorak.ini"), kOldFile);
    failures.clear();
    EXPECT_EQ(SaveSettingsFileRetrying(
                  folder.File("zentorak.ini"), Settings{}, {}, {},
                  [&](int failure) {
                      failures.push_back(failure);
                      return false;
                  },
                  FailingWrites(1)),
              -2);
    EXPECT_EQ(failures, (std::vector<int>{-2}));
    EXPECT_EQ(ReadBytes(folder.File("zentorak.ini")), kOldFile);
    EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

// On a real full file system: the first save fails, the user frees space, the retry succeeds.
int RetryOnFullFileSystem(const std::string& mountPoint) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        return 77;
    }
    std::string ini = mountPoint + "/zentorak.ini";
    std::string fill = mountPoint + "/fill";
    if (SaveWith(ini, {}) != 0) {
        return 98;
    }
    int fd = ::open(fill.c_str(), O_WRONLY | O_CREAT, 0600);
    static const char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    ::close(fd);
    Settings settings;
    settings.TrgtSrchNum = 60;
    int asked = 0;
    int result = SaveSettingsFileRetrying(ini, settings, {}, {}, [&](int) {
        ++asked;
        return ::unlink(fill.c_str()) == 0;  // the user makes room and tries again
    });
    bool written = ReadBytes(ini).find("TrgtSrchNum:60\r\n") != std::string::npos;
    return result == 0 && asked == 1 && written && EntriesIn(mountPoint) == 1 ? 0 : 97;
}

TEST(SaveSettingsFileRetrying, FullFileSystemThenRoomAfterTheFirstFailure) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("mnt"));
    int status = InChild([&] { return RetryOnFullFileSystem(folder.File("mnt")); });
    if (status == 77) {
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    }
    EXPECT_EQ(status, 0);
}

TEST(SaveSettingsFile, FullFileSystemLeavesTheOldFile) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("mnt"));
    int status = InChild([&] { return SaveOnFullFileSystem(folder.File("mnt")); });
    if (status == 77) {
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    }
    // The first line already finds no room.
    EXPECT_EQ(status, 2);
}

// A save killed between creating its temporary file and the rename, as kill -9 would.
TEST(SaveSettingsFile, KilledSavesLeaveNoPileOfTemporaryFiles) {
    TempFolder folder;
    WriteBytes(folder.File("zentorak.ini"), kOldFile);
    for (int kill = 0; kill < 3; ++kill) {
        int status = InChild([&] {
            SettingsFileCalls dying;
            dying.fsync = [](int) -> int { ::_exit(9); };
            return SaveWith(folder.File("zentorak.ini"), dying);
        });
        ASSERT_EQ(status, 9);
    }
    EXPECT_EQ(EntriesIn(folder.path()), 2u);  // the file and the last killed save's leftover
    ASSERT_EQ(SaveWith(folder.File("zentorak.ini"), {}), 0);
    EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

}  // namespace
}  // namespace zentorak
