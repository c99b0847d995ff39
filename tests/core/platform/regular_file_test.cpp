// Only regular files are read whole: a FIFO, a device and a link to either are refused at once,
// without blocking.
#include "core/platform/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/platform/bounded_child.h"
#include "support/temp_folder.h"

namespace zentorak {
namespace {

class RegularFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }
    testing::TempFolder temp;
    std::string folder = temp.path();
};

TEST_F(RegularFileTest, OpensRegularFilesAlsoThroughALink) {
    std::ofstream(folder + "/a.csv") << "lat,lon\r\n";
    std::filesystem::create_symlink(folder + "/a.csv", folder + "/link.csv");
    for (const char* name : {"/a.csv", "/link.csv"}) {
        int fd = OpenRegularFileForReading(folder + name);
        ASSERT_GE(fd, 0) << name;
        char bytes[16];
        EXPECT_EQ(::read(fd, bytes, sizeof bytes), 9) << name;
        EXPECT_EQ(::close(fd), 0);
    }
    EXPECT_EQ(OpenRegularFileForReading(folder + "/missing.csv"), -1);
}

TEST_F(RegularFileTest, RefusesFifosDevicesFoldersAndLinksToThem) {
    ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder + "/zero.csv");
    std::filesystem::create_symlink(folder + "/fifo", folder + "/fifo.csv");
    // A FIFO without a writer would block a plain open, so the child has a time limit.
    int status = testing::RunBounded([&] {
        for (const std::string& path :
             {folder + "/fifo", folder + "/fifo.csv", folder + "/zero.csv",
              std::string("/dev/zero"), std::string("/dev/urandom"), std::string("/dev/null"),
              folder}) {
            if (OpenRegularFileForReading(path) != -1) {
                return 1;
            }
        }
        return 0;
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace zentorak
