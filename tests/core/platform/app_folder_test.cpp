#include "core/platform/app_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <set>

#include "support/temp_folder.h"

namespace zentorak {
namespace {

// Inputs over an imagined file system: the folders that may be written and the files there.
AppFolderInputs Inputs(std::string executable, std::set<std::string> writable,
                       std::set<std::string> files = {}) {
    AppFolderInputs in;
    in.executable = std::move(executable);
    in.home = "/home/hana";
    in.mayWrite = [writable](const std::string& f) { return writable.count(f) != 0; };
    in.exists = [files](const std::string& f) { return files.count(f) != 0; };
    return in;
}

TEST(ChooseAppFolder, WritableFolderKeepsTheFilesBesideTheExecutable) {
    // A build folder, and a folder copied by hand.
    AppFolder f = ChooseAppFolder(
        Inputs("/home/hana/src/build/release/zentorak", {"/home/hana/src/build/release"}));
    EXPECT_EQ(f.path, "/home/hana/src/build/release");
    EXPECT_TRUE(f.besideExecutable);
    // A folder named bin is no install without the desktop entry beside it.
    f = ChooseAppFolder(Inputs("/home/hana/bin/zentorak", {"/home/hana/bin"}));
    EXPECT_EQ(f.path, "/home/hana/bin");
}

TEST(ChooseAppFolder, ReadOnlyFolderUsesTheConfigurationFolder) {
    AppFolder f = ChooseAppFolder(Inputs("/usr/bin/zentorak", {}));
    EXPECT_EQ(f.path, "/home/hana/.config/zentorak");
    EXPECT_FALSE(f.besideExecutable);

    AppFolderInputs in = Inputs("/usr/bin/zentorak", {});
    in.xdgConfigHome = "/var/tmp/conf/";  // a trailing '/' is not doubled
    EXPECT_EQ(ChooseAppFolder(in).path, "/var/tmp/conf/zentorak");
    // The base directory rules ignore a relative (or empty) XDG_CONFIG_HOME.
    in.xdgConfigHome = "conf";
    EXPECT_EQ(ChooseAppFolder(in).path, "/home/hana/.config/zentorak");
    in.home = "/";
    in.xdgConfigHome.clear();
    EXPECT_EQ(ChooseAppFolder(in).path, "/.config/zentorak");
}

TEST(ChooseAppFolder, InstalledCopyUsesTheConfigurationFolderEvenWhenWritable) {
    // cmake --install --prefix ~/.local, and root running the packaged program from /usr/bin.
    AppFolder f =
        ChooseAppFolder(Inputs("/home/hana/.local/bin/zentorak", {"/home/hana/.local/bin"},
                               {"/home/hana/.local/share/applications/zentorak.desktop"}));
    EXPECT_EQ(f.path, "/home/hana/.config/zentorak");
    EXPECT_FALSE(f.besideExecutable);
    f = ChooseAppFolder(
        Inputs("/usr/bin/zentorak", {"/usr/bin"}, {"/usr/share/applications/zentorak.desktop"}));
    EXPECT_FALSE(f.besideExecutable);
    // Another program's entry does not make this copy an installed one.
    f = ChooseAppFolder(
        Inputs("/opt/x/bin/zentorak", {"/opt/x/bin"}, {"/opt/x/share/applications/other.desktop"}));
    EXPECT_TRUE(f.besideExecutable);
}

TEST(ChooseAppFolder, UnknownExecutableOrHome) {
    // Without its own path the program cannot sit "beside" anything: the configuration folder,
    // never the root folder.
    AppFolder f = ChooseAppFolder(Inputs("", {"/"}));
    EXPECT_EQ(f.path, "/home/hana/.config/zentorak");
    // With neither a usable configuration folder nor a home, the executable's folder after all;
    // writing there then fails with the usual message.
    AppFolderInputs in = Inputs("/usr/bin/zentorak", {});
    in.home.clear();
    in.xdgConfigHome = "relative";
    f = ChooseAppFolder(in);
    EXPECT_EQ(f.path, "/usr/bin");
    EXPECT_TRUE(f.besideExecutable);
    in.executable.clear();
    EXPECT_EQ(ChooseAppFolder(in).path, "/");
}

TEST(AppFolderFile, JoinsWithOneSlash) {
    EXPECT_EQ(AppFolderFile({"/a/b", false}, "zentorak.ini"), "/a/b/zentorak.ini");
    EXPECT_EQ(AppFolderFile({"/", true}, "zentorak.ini"), "/zentorak.ini");
}

class CreateAppFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(root.empty()); }
    testing::TempFolder temp;
    std::string root = temp.path();
};

TEST_F(CreateAppFolderTest, CreatesMissingParentsPrivately) {
    AppFolder f{root + "/home/.config/zentorak", false};
    ASSERT_EQ(CreateAppFolder(f), 0);
    struct stat info {};
    ASSERT_EQ(::stat(f.path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(CreateAppFolder(f), 0);  // there already
}

TEST_F(CreateAppFolderTest, FileInTheWayIsAnError) {
    std::ofstream(root + "/zentorak") << "x";
    EXPECT_EQ(CreateAppFolder({root + "/zentorak", false}), ENOTDIR);
    EXPECT_EQ(CreateAppFolder({root + "/zentorak/inner", false}), ENOTDIR);
    EXPECT_EQ(CreateAppFolder({"relative/path", false}), ENOENT);
}

TEST(ProcessAppFolderInputs, ReadsTheRunningProcess) {
    AppFolderInputs in = ProcessAppFolderInputs();
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    EXPECT_EQ(in.executable, std::string(buffer, static_cast<size_t>(n)));
    EXPECT_FALSE(in.home.empty());
    EXPECT_TRUE(in.exists(in.executable));
    EXPECT_FALSE(in.exists(in.executable + ".no-such-file"));
}

}  // namespace
}  // namespace zentorak
