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

}  // namespace
}  // namespace zentorak
