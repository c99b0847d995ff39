#include "core/position/wsim_port.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <system_error>

namespace zentorak {

WsimPort::WsimPort(std::filesystem::path base) : base_(std::move(base)) {}

WsimPort::~WsimPort() {
    Close();
}

int WsimPort::Open(std::string_view name) {
    if (IsOpen()) {
        return 1;
    }
    const std::filesystem::path device = ResolveSerialPortPath(name, base_);
    if (device.empty() || port_.Open(device) != 0) {
        return 0;
    }
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        port_.Close();
        return 0;
    }
    try {
        receiver_ = std::thread(&WsimPort::ReceiveThread, this);
    } catch (const std::system_error&) {
        Close();
        return 0;
    }
    return 1;
}

void WsimPort::Close() {
    if (receiver_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
        receiver_.join();
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
    port_.Close();
}

// Reads one chunk of what has arrived. Under a flood the thread thus comes back to its poll,
// and to the wake-up of Close, after every chunk, and the buffer's lock is taken once per chunk
// rather than once per byte, which kept the query's Clear and Text waiting.
int WsimPort::DrainInput() {
    uint8_t bytes[kReceiveChunk];
    const int count = port_.Read(bytes, sizeof bytes);
    if (count > 0) {
        rx_.Append(bytes, static_cast<size_t>(count));
    }
    return count;
}

// Waits for input or the wake-up, then takes what is there.
void WsimPort::ReceiveThread() {
    for (;;) {
        pollfd fds[2] = {{port_.Fd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if (fds[0].revents != 0 && DrainInput() <= 0) {
            // Hang-up or error without data (a pty whose module quit): do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

int WsimPort::SendByte(uint8_t byte) {
    return port_.WriteByte(byte);
}

void WsimPort::SendCommand(std::u16string_view command) {
    for (char16_t c : command) {
        SendByte(static_cast<uint8_t>(c & 0xFF));
    }
}

}  // namespace zentorak
