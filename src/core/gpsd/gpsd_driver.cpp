#include "core/gpsd/gpsd_driver.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "core/gpsd/gpsd_json.h"
#include "core/text/code_page.h"

namespace zentorak {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Every wait of the reader thread is cut into slices of this length, so that Close never
// waits longer than one slice for it.
constexpr std::chrono::milliseconds kWaitSlice{100};
constexpr std::chrono::milliseconds kReconnectPause{500};
constexpr size_t kMaxReportLength = 16384;  // longer than any report gpsd sends
constexpr size_t kReadChunk = 4096;
constexpr std::string_view kWatchOn = "?WATCH={\"enable\":true,\"json\":true};\n";
constexpr std::string_view kWatchOff = "?WATCH={\"enable\":false};\n";

// gpsd reads its commands at once and they are far shorter than a socket buffer, so a send
// that does not take the whole command means the daemon is not there.
int SendCommand(int fd, std::string_view command) {
    const ssize_t n = send(fd, command.data(), command.size(), MSG_NOSIGNAL);
    if (n == static_cast<ssize_t>(command.size())) {
        return 0;
    }
    return n < 0 && errno > 0 ? errno : EIO;
}

}  // namespace

GpsdDriver::GpsdDriver(std::string host, std::string port, Clock clock)
    : host_(std::move(host)), port_(std::move(port)), clock_(std::move(clock)) {}

GpsdDriver::~GpsdDriver() {
    Close();
    Disconnect();
}

// Tries each address of gpsd's host within one time limit. The connect itself never blocks:
// a daemon that has stopped accepting (a full backlog) would otherwise hold the caller, the
// window's thread on an update, for the minutes of the kernel's SYN retries.
int GpsdDriver::Connect() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host_.c_str(), port_.c_str(), &hints, &found);
    if (status != 0) {
        return status == EAI_SYSTEM && errno > 0 ? errno : EHOSTUNREACH;
    }
    const SteadyClock::time_point deadline = SteadyClock::now() + kGpsdConnectLimit;
    int error = ECONNREFUSED;
    for (const addrinfo* address = found; address && !stop_; address = address->ai_next) {
        error = ConnectTo(*address, deadline);
        if (error == 0 || error == ETIMEDOUT) {
            break;
        }
    }
    freeaddrinfo(found);
    return error;
}

int GpsdDriver::ConnectTo(const addrinfo& address, SteadyClock::time_point deadline) {
    const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                          address.ai_protocol);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno == EINPROGRESS ? WaitConnected(fd, deadline) : errno;
    }
    if (error == 0) {
        error = SendCommand(fd, kWatchOn);
    }
    if (error != 0) {
        close(fd);
        return error;
    }
    fd_ = fd;
    pending_.clear();
    skippingLine_ = false;
    return 0;
}

int GpsdDriver::WaitConnected(int fd, SteadyClock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0 || stop_) {
            return ETIMEDOUT;
        }
        pollfd p{fd, POLLOUT, 0};
        const int ready = poll(&p, 1, static_cast<int>(std::min(left, kWaitSlice).count()));
        if (ready < 0 && errno != EINTR) {
            return errno;
        }
        if (ready > 0) {
            int error = 0;
            socklen_t length = sizeof error;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                return errno;
            }
            return error;
        }
    }
}

void GpsdDriver::Disconnect() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

int GpsdDriver::Open(GpsEvents& events) {
    if (thread_.joinable()) {
        return EBUSY;
    }
    stop_ = false;
    const int error = Connect();
    if (error != 0) {
        return error;
    }
    events_ = &events;
    try {
        thread_ = std::thread(&GpsdDriver::Run, this);
    } catch (const std::system_error& e) {
        Disconnect();
        events_ = nullptr;
        return e.code().value() > 0 ? e.code().value() : EAGAIN;
    }
    return 0;
}

int GpsdDriver::Close() {
    if (!thread_.joinable()) {
        return 0;
    }
    stop_ = true;
    thread_.join();
    if (fd_ >= 0) {
        SendCommand(fd_, kWatchOff);
    }
    Disconnect();
    events_ = nullptr;
    return 0;
}

// Waits for input at most one slice; a half line stays in `pending_` until its end arrives,
// and the next wait is a real one, not a spin.
void GpsdDriver::ReadAvailable() {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(kWaitSlice.count())) <= 0) {
        return;  // nothing yet, or a signal: the stop flag is looked at again
    }
    char buffer[kReadChunk];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        Disconnect();  // gpsd went away; Run reconnects
        return;
    }
    if (n > 0) {
        pending_.append(buffer, static_cast<size_t>(n));
        TakeLines();
    }
}

// Hands every complete line to HandleReport. A line longer than any report is garbage: it is
// dropped up to its end rather than kept growing.
void GpsdDriver::TakeLines() {
    size_t start = 0;
    for (size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string_view line(pending_.data() + start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!skippingLine_) {
            HandleReport(line);
        }
        skippingLine_ = false;
    }
    pending_.erase(0, start);
    if (pending_.size() > kMaxReportLength) {
        pending_.clear();
        skippingLine_ = true;
    }
}

void GpsdDriver::Run() {
    while (!stop_) {
        if (fd_ >= 0) {
            ReadAvailable();
            continue;
        }
        for (auto waited = std::chrono::milliseconds(0); waited < kReconnectPause && !stop_;
             waited += std::chrono::milliseconds(50)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!stop_) {
            Connect();
        }
    }
}

void GpsdDriver::HandleReport(std::string_view line) {
    const GpsdReport report = ParseGpsdReport(line);
    GpsEvents::Index signal;
    {
        std::lock_guard lock(mutex_);
        if (report.kind == GpsdReport::kTpv && IsRealFix(report.mode, report.hasLatLon)) {
            // gpsd gives metres per second; the driver record holds knots.
            fix_.Take(GpsPosition{satellites_, report.latitude, report.longitude,
                                  static_cast<float>(report.speed * kKnotsPerMetrePerSecond),
                                  static_cast<float>(report.track)},
                      clock_());
            signal = GpsEvents::kNewPosition;
        } else if (report.kind == GpsdReport::kSky && report.usedSatellites >= 0) {
            satellites_ = static_cast<uint32_t>(report.usedSatellites);
            return;
        } else if (report.kind == GpsdReport::kDevice || report.kind == GpsdReport::kDevices) {
            const std::string& name = report.device.empty() ? report.driver : report.device;
            deviceName_ = FromUtf8(name);
            signal = GpsEvents::kDeviceState;
        } else {
            return;
        }
    }
    if (events_) {
        events_->Signal(signal);
    }
}

int GpsdDriver::GetPosition(GpsPosition& out, uint32_t maxAgeMs) {
    std::lock_guard lock(mutex_);
    return fix_.Get(out, clock_(), maxAgeMs);
}

int GpsdDriver::GetDeviceState(GpsDevice& out) {
    std::lock_guard lock(mutex_);
    out.friendlyName = deviceName_;
    return 0;
}

}  // namespace zentorak
