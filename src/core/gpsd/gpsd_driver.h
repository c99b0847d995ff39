// The GPS driver on gpsd: a TCP connection to the daemon watching in JSON, a thread that reads
// report lines, keeps the last 2D/3D fix and signals the driver events. Reports without a fix
// are never positions. A lost connection is retried every half second until Close. The socket
// is our own rather than libgps's, whose connect blocks for minutes on a stalled daemon and
// whose reads spin on half a line; the reports are parsed by gpsd_json.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/position/gps_driver.h"

struct addrinfo;

namespace zentorak {

// How long Open waits for gpsd to take the connection; past it the open fails with ETIMEDOUT.
inline constexpr std::chrono::milliseconds kGpsdConnectLimit{1500};

class GpsdDriver : public GpsDriver {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The program always uses gpsd's own address; tests start their own gpsd elsewhere.
    explicit GpsdDriver(std::string host = "localhost", std::string port = "2947",
                        Clock clock = std::chrono::steady_clock::now);
    ~GpsdDriver() override;

    int Open(GpsEvents& events) override;
    int GetPosition(GpsPosition& out, uint32_t maxAgeMs) override;
    int GetDeviceState(GpsDevice& out) override;
    int Close() override;

    // One report line as gpsd sent it; public so that the report handling is testable alone.
    void HandleReport(std::string_view line);

private:
    int Connect();
    int ConnectTo(const addrinfo& address, std::chrono::steady_clock::time_point deadline);
    int WaitConnected(int fd, std::chrono::steady_clock::time_point deadline);
    void Disconnect();
    void Run();
    void ReadAvailable();
    void TakeLines();

    std::string host_;
    std::string port_;
    Clock clock_;
    // The socket and the partial line: touched by Open/Close and the reader thread, never both
    // at once.
    int fd_ = -1;
    std::string pending_;
    bool skippingLine_ = false;  // the rest of an overlong line is dropped
    GpsEvents* events_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;

    std::mutex mutex_;
    LastFix fix_;
    uint32_t satellites_ = 0;
    std::u16string deviceName_;
};

}  // namespace zentorak
