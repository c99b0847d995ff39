// Port names, the receive buffer and the log text: the W-SIM pieces that need no device.
#include <gtest/gtest.h>

#include "core/platform/serial_port.h"
#include "core/position/rx_buffer.h"
#include "core/text/exchange_log.h"

namespace zentorak {
namespace {

namespace fs = std::filesystem;

TEST(SerialPortPath, LinkBesideTheProgramWinsOverTheTtyDevice) {
    const fs::path base = fs::temp_directory_path() / "zentorak-ports-test";
    fs::create_directories(base / "ports");
    fs::create_symlink("/dev/null", base / "ports" / "COM3");
    EXPECT_EQ(ResolveSerialPortPath("COM3:", base), base / "ports" / "COM3");
    EXPECT_EQ(ResolveSerialPortPath("COM5:", base), fs::path("/dev/ttyS5"));
    EXPECT_EQ(ResolveSerialPortPath("COM0", base), fs::path("/dev/ttyS0"));
    fs::remove_all(base);
}

// The simulator leaves its link behind when it goes, pointing at a pty that no longer exists (or
// that later belongs to another terminal). The link still names the port: falling back to
// /dev/ttyS3 could talk to a console.
TEST(SerialPortPath, LinkThatLeadsNowhereStillDecidesThePort) {
    const fs::path base = fs::temp_directory_path() / "zentorak-ports-dangling-test";
    fs::create_directories(base / "ports");
    fs::create_symlink("/dev/pts/zentorak-gone", base / "ports" / "COM3");
    EXPECT_EQ(ResolveSerialPortPath("COM3:", base), base / "ports" / "COM3");
    fs::remove_all(base);
}

TEST(SerialPortPath, OtherNamesResolveToNothing) {
    for (const char* name : {"", "COM", "COM10:", "com3:", "COMa:", "LPT1:", "COM3::"}) {
        EXPECT_TRUE(ResolveSerialPortPath(name, "/tmp").empty()) << name;
    }
}

TEST(RxBufferTest, BytesBeyondTheThousandthAreDropped) {
    RxBuffer rx;
    for (int i = 0; i < 1005; ++i) {
        rx.Append(static_cast<unsigned char>(i < 1000 ? 'a' : 'z'));
    }
    EXPECT_EQ(rx.Size(), 1000u);
    EXPECT_EQ(rx.Text(), std::u16string(1000, u'a'));
    rx.Clear();
    rx.Append(0xFE);  // a byte is one character, zero-extended
    EXPECT_EQ(rx.Text(), std::u16string(1, char16_t{0xFE}));
}

TEST(RxBufferTest, NulBytesAreNotPartOfTheText) {
    RxBuffer rx;
    for (unsigned char byte : {'O', '\0', 'K', '\0', '\0', '\r', '\n'}) {
        rx.Append(byte);
    }
    EXPECT_EQ(rx.Text(), u"OK\r\n");  // the log pane would end the text at the first NUL
}

}  // namespace
}  // namespace zentorak
