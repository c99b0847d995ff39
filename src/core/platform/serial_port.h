// A serial device on termios, set up as the W-SIM module wants it: 115200 baud, 8N1, raw,
// DTR and RTS raised, reads that return at once with what is there, opened for this program
// alone. Also maps the handset's port names ("COM3:") to device paths. Does not run threads;
// WsimPort does that.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zentorak {

// "COMn:" (or "COMn") with n = 0..9 → `base`/ports/COMn when that is present (a link to the real
// device or a test pty, even one that leads nowhere now), else /dev/ttySn. An empty path for any
// other name.
std::filesystem::path ResolveSerialPortPath(std::string_view portName,
                                            const std::filesystem::path& base);

// The device a port name stands for, for people to read: where ResolveSerialPortPath finds the
// ports/COMn link, the link's target (made absolute from the ports folder); a ports/COMn that is
// not a link, itself; otherwise /dev/ttySn. Empty for a name that is no port.
std::filesystem::path DescribeSerialPort(std::string_view portName,
                                         const std::filesystem::path& base);

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort() { Close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // 0, or the errno of the open, of the exclusive claim or of the line settings (the device
    // is closed again then). The port is claimed with TIOCEXCL and a non-blocking flock, so that
    // a second program, or a second copy of this one, is refused (EBUSY, EWOULDBLOCK).
    int Open(const std::filesystem::path& device);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    // Writes one byte, waiting at most once for 1010 ms (the write time-out for one byte): 1, or
    // the errno of the failure (ETIMEDOUT when the line stayed full).
    int WriteByte(uint8_t byte);
    // Reads what is there, at most `size` bytes: the count, 0 when nothing is, or -errno.
    int Read(uint8_t* bytes, size_t size);

private:
    int Claim();
    int Configure();
    int fd_ = -1;
    bool claimed_ = false;  // TIOCEXCL set by us, to be ended at Close
};

}  // namespace zentorak
