// The GPS driver on gpsd: a libgps connection watching in JSON, a thread that reads reports,
// keeps the last 2D/3D fix and signals the driver events. Reports without a fix are never
// positions. A lost connection is retried every half second until Close.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/position/gps_driver.h"

struct gps_data_t;

namespace zentorak {

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
    void Disconnect();
    void Run();
    void ReadAvailable();

    std::string host_;
    std::string port_;
    Clock clock_;
    std::unique_ptr<gps_data_t> data_;
    bool connected_ = false;  // touched by Open/Close and the reader thread, never both at once
    GpsEvents* events_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;

    std::mutex mutex_;
    bool haveFix_ = false;
    GpsPosition fix_;
    std::chrono::steady_clock::time_point fixTime_;
    uint32_t satellites_ = 0;
    std::u16string deviceName_;
};

}  // namespace zentorak
