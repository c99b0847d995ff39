// The gpsd driver against daemons that misbehave on the socket: a port whose backlog is full (a
// stalled gpsd) and a gpsd that sends half a report and then nothing.
#include "core/gpsd/gpsd_driver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "core/position/command_recorder.h"
#include "core/position/gps_source.h"

namespace zentorak {
namespace {

using namespace std::chrono_literals;

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A loopback listener on a port of its own; closes what it opened.
class Listener {
public:
    explicit Listener(int backlog) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = Loopback(0);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, backlog);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() {
        Close();
        for (int fd : clients_) {
            close(fd);
        }
    }
    std::string Port() const { return std::to_string(port_); }
    int Fd() const { return fd_; }
    void Close() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    // Connects until a connection is left hanging: the accept queue is then full and every
    // further connect waits for SYN retransmits, as with a daemon that stopped accepting.
    bool FillBacklog() {
        for (int i = 0; i < 16; ++i) {
            const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            clients_.push_back(fd);
            sockaddr_in address = Loopback(port_);
            if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                continue;
            }
            pollfd p{fd, POLLOUT, 0};
            if (errno == EINPROGRESS && poll(&p, 1, 300) == 0) {
                return true;
            }
        }
        return false;
    }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
    std::vector<int> clients_;
};

// Runs `open` on a thread of its own and waits at most `limit` for it, so that a connect that
// blocks for minutes fails the test instead of holding it up. The listener is closed on the
// way out, which lets a stuck connect end at its next SYN retransmit.
template <typename Result>
bool FinishesWithin(std::chrono::milliseconds limit, Listener& listener,
                    std::function<Result()> open, Result& result) {
    std::packaged_task<Result()> task(std::move(open));
    std::future<Result> done = task.get_future();
    std::thread runner(std::move(task));
    const bool inTime = done.wait_for(limit) == std::future_status::ready;
    listener.Close();
    runner.join();
    result = done.get();
    return inTime;
}

TEST(GpsdDriverConnect, PortThatAcceptsNoConnectionFailsTheOpenWithinTwoSeconds) {
    Listener stalled(0);
    ASSERT_TRUE(stalled.FillBacklog());
    GpsdDriver driver("127.0.0.1", stalled.Port());
    GpsEvents events;
    int error = 0;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(FinishesWithin<int>(
        3s, stalled, [&] { return driver.Open(events); }, error))
        << "the connect blocked";
    EXPECT_GE(std::chrono::steady_clock::now() - start, 500ms);  // it did wait a while
    EXPECT_EQ(error, ETIMEDOUT);
}

TEST(GpsdDriverConnect, StalledGpsdIsAFailedStartOfTheRequest) {
    Listener stalled(0);
    ASSERT_TRUE(stalled.FillBacklog());
    std::atomic<int> busy{0};
    GpsSource source([&] { return std::make_shared<GpsdDriver>("127.0.0.1", stalled.Port()); },
                     busy);
    testing::CommandRecorder window;
    int result = 0;
    ASSERT_TRUE(FinishesWithin<int>(
        3s, stalled, [&] { return source.StartGpsRequest(window.Poster(), 32796); }, result));
    EXPECT_EQ(result, kGpsSessionFailed);
    EXPECT_EQ(busy.load(), 0);  // the next update may try again
}

// CPU time of the whole process (every thread) in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A gpsd that accepts one client, takes its WATCH and then sends what the test tells it to.
class FakeGpsd {
public:
    FakeGpsd() : listener_(4) {}
    ~FakeGpsd() {
        if (client_ >= 0) {
            close(client_);
        }
    }
    std::string Port() const { return listener_.Port(); }
    // Waits for the driver's connection and its WATCH command.
    bool AcceptWatch() {
        pollfd p{listener_.Fd(), POLLIN, 0};
        if (poll(&p, 1, 2000) != 1) {
            return false;
        }
        client_ = accept4(listener_.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        std::string received;
        char buffer[256];
        pollfd c{client_, POLLIN, 0};
        while (received.find(';') == std::string::npos && poll(&c, 1, 2000) == 1) {
            const ssize_t n = read(client_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            received.append(buffer, static_cast<size_t>(n));
        }
        return received.starts_with("?WATCH={") &&
               received.find("\"json\":true") != std::string::npos;
    }
    void Send(const std::string& text) const {
        ASSERT_EQ(write(client_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

private:
    Listener listener_;
    int client_ = -1;
};

TEST(GpsdDriverRead, HalfAReportThenSilenceWaitsWithoutSpinning) {
    FakeGpsd gpsd;
    GpsdDriver driver("127.0.0.1", gpsd.Port());
    GpsEvents events;
    // The driver connects on this thread; gpsd's accept only follows, so the listen queue holds
    // the connection meanwhile.
    ASSERT_EQ(driver.Open(events), 0);
    ASSERT_TRUE(gpsd.AcceptWatch());
    gpsd.Send(R"({"class":"TPV","device":"/dev/ttyUSB0","mode":3,"lat":35.)");
    std::this_thread::sleep_for(100ms);
    const double before = ProcessCpuSeconds();
    std::this_thread::sleep_for(1s);
    const double spent = ProcessCpuSeconds() - before;
    EXPECT_LT(spent, 0.2) << "the reader spun on the half line";

    // The rest of the line completes the report.
    gpsd.Send("5,\"lon\":139.25}\r\n");
    EXPECT_EQ(events.WaitAnyFor(2s), GpsEvents::kNewPosition);
    GpsPosition position;
    ASSERT_EQ(driver.GetPosition(position, 3000), 0);
    EXPECT_DOUBLE_EQ(position.latitude, 35.5);
    EXPECT_DOUBLE_EQ(position.longitude, 139.25);
    EXPECT_EQ(driver.Close(), 0);
}

}  // namespace
}  // namespace zentorak
