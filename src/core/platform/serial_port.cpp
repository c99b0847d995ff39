#include "core/platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace zentorak {

namespace {
constexpr int kWriteTimeoutMs = 1000 + 10;  // constant + per byte, for the one byte
}  // namespace

std::filesystem::path ResolveSerialPortPath(std::string_view portName,
                                            const std::filesystem::path& base) {
    if (portName.ends_with(':')) {
        portName.remove_suffix(1);
    }
    if (portName.size() != 4 || !portName.starts_with("COM") || portName[3] < '0' ||
        portName[3] > '9') {
        return {};
    }
    // A link that is present decides, whether or not its target still exists: a stale link
    // must fail the open, not send the program to whatever /dev/ttySn is.
    const std::filesystem::path link = base / "ports" / std::string(portName);
    std::error_code ignored;
    if (std::filesystem::symlink_status(link, ignored).type() !=
        std::filesystem::file_type::not_found) {
        return link;
    }
    return std::filesystem::path("/dev") / ("ttyS" + std::string(1, portName[3]));
}

std::filesystem::path DescribeSerialPort(std::string_view portName,
                                         const std::filesystem::path& base) {
    std::filesystem::path device = ResolveSerialPortPath(portName, base);
    std::error_code error;
    if (device.empty() || !std::filesystem::is_symlink(device, error)) {
        return device;
    }
    std::filesystem::path target = std::filesystem::read_symlink(device, error);
    if (error) {
        return device;
    }
    return target.is_absolute() ? target : (device.parent_path() / target).lexically_normal();
}

int SerialPort::Open(const std::filesystem::path& device) {
    Close();
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return errno;
    }
    int error = Claim();
    if (error == 0) {
        error = Configure();
    }
    if (error != 0) {
        Close();
    }
    return error;
}

// The handset opens the port without sharing. The flock refuses every other user of this
// program's kind, root included; TIOCEXCL refuses any other open of the terminal by an ordinary
// user. The flock comes first, so that a refused open never touches the owner's TIOCEXCL.
int SerialPort::Claim() {
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        return errno;
    }
    if (ioctl(fd_, TIOCEXCL) != 0) {
        return errno;
    }
    claimed_ = true;
    return 0;
}

int SerialPort::Configure() {
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) {
        return errno;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;  // reads return at once with what is there
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
        return errno;
    }
    // Raising the modem lines is not checked, as on the handset; a pseudo-terminal has none.
    int lines = TIOCM_DTR;
    ioctl(fd_, TIOCMBIS, &lines);
    lines = TIOCM_RTS;
    ioctl(fd_, TIOCMBIS, &lines);
    return 0;
}

// The terminal may outlive this descriptor (a pty whose other side stays open), and its
// exclusive mode with it: that is ended first, or the next open would be refused.
void SerialPort::Close() {
    if (fd_ >= 0) {
        if (claimed_) {
            ioctl(fd_, TIOCNXCL);
            claimed_ = false;
        }
        ::close(fd_);
        fd_ = -1;
    }
}

int SerialPort::WriteByte(uint8_t byte) {
    bool waited = false;
    for (;;) {
        const ssize_t n = ::write(fd_, &byte, 1);
        if (n == 1) {
            return 1;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return errno;
        }
        if (waited) {
            return ETIMEDOUT;
        }
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, kWriteTimeoutMs);
        waited = true;
    }
}

int SerialPort::Read(uint8_t* bytes, size_t size) {
    const ssize_t n = ::read(fd_, bytes, size);
    if (n >= 0) {
        return static_cast<int>(n);
    }
    return errno == EAGAIN || errno == EINTR ? 0 : -errno;
}

}  // namespace zentorak
