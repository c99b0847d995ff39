// The simulated module's own chores: writing a reply out, and taking its ports/COMn link away
// again (only while the link is still its own).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>

#include "wsim/wsim_module.h"

namespace zentorak::wsim {
namespace {

namespace fs = std::filesystem;

// A write that takes nothing sets no errno; an EAGAIN left from an earlier call must not make
// the writer spin on it. The fake gives up after 100 calls, so the old spin ends as a failure.
TEST(WsimSimulator, WriteOfNothingEndsTheReply) {
    std::atomic<bool> stop{false};
    int calls = 0;
    errno = EAGAIN;
    WriteAllTo(-1, "OK\r\n", stop, [&](int, const void*, size_t) -> ssize_t {
        if (++calls > 100) {
            stop = true;
        }
        return 0;
    });
    EXPECT_EQ(calls, 1);
    // EINTR and EAGAIN from a failed write are tried again; the bytes then all go out.
    std::string sent;
    int failures = 0;
    WriteAllTo(-1, "AT@LBC1\r\r\nOK\r\n", stop = false,
               [&](int, const void* data, size_t size) -> ssize_t {
                   if (failures++ < 2) {
                       errno = failures == 1 ? EINTR : EAGAIN;
                       return -1;
                   }
                   sent.append(static_cast<const char*>(data), std::min<size_t>(size, 3));
                   return static_cast<ssize_t>(std::min<size_t>(size, 3));
               });
    EXPECT_EQ(sent, "AT@LBC1\r\r\nOK\r\n");
}

TEST(WsimSimulator, UnlinkRemovesOnlyItsOwnLink) {
    char pattern[] = "/tmp/zentorak-wsim-link-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    fs::path folder = pattern;
    SimulatedModule module;
    std::string error;
    ASSERT_TRUE(module.Start(error)) << error;
    ASSERT_TRUE(module.LinkAs(folder, 2, error)) << error;
    ASSERT_TRUE(fs::is_symlink(folder / "ports" / "COM2"));
    module.Unlink(folder, 2);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "ports" / "COM2")));
    // A link that another module has put there since stays.
    fs::create_symlink("/dev/pts/999999", folder / "ports" / "COM2");
    module.Unlink(folder, 2);
    EXPECT_TRUE(fs::is_symlink(folder / "ports" / "COM2"));
    module.Stop();
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zentorak::wsim
