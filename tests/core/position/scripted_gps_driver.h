// A GPS driver that the tests feed by hand: it signals the session's events the way the gpsd
// driver does, and can refuse to open, fail or hang in a position query, and report a device.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "core/position/gps_driver.h"

namespace zentorak::testing {

class ScriptedDriver : public GpsDriver {
public:
    std::atomic<int> openError{0};  // what Open answers
    std::atomic<bool> failGetPosition{false};
    std::atomic<bool> blockInGetPosition{false};
    std::atomic<bool> deviceFailed{false};  // what GetDeviceState says
    std::atomic<int> opens{0};
    std::atomic<int> closes{0};

    int Open(GpsEvents& events) override {
        std::lock_guard lock(mutex_);
        ++opens;
        events_ = openError == 0 ? &events : nullptr;
        return openError;
    }
    int GetPosition(GpsPosition& out, uint32_t maxAgeMs) override {
        EXPECT_EQ(maxAgeMs, 3000u);
        while (blockInGetPosition) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::lock_guard lock(mutex_);
        out = fix_;
        return failGetPosition ? ENODATA : 0;
    }
    int GetDeviceState(GpsDevice& out) override {
        out.friendlyName = std::u16string(70, u'x');
        out.failed = deviceFailed;
        return 0;
    }
    int Close() override {
        std::lock_guard lock(mutex_);
        events_ = nullptr;
        ++closes;
        return 0;
    }
    void Deliver(double lat, double lon) {
        std::lock_guard lock(mutex_);
        fix_.latitude = lat;
        fix_.longitude = lon;
        if (events_) {
            events_->Signal(GpsEvents::kNewPosition);
        }
    }
    void ChangeDevice() {
        std::lock_guard lock(mutex_);
        if (events_) {
            events_->Signal(GpsEvents::kDeviceState);
        }
    }

private:
    std::mutex mutex_;
    GpsEvents* events_ = nullptr;
    GpsPosition fix_;
};

}  // namespace zentorak::testing
