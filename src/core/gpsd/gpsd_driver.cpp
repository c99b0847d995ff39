#include "core/gpsd/gpsd_driver.h"

#include <gps.h>

#include <cerrno>

#include "core/platform/code_page.h"
#include "core/gpsd/gpsd_json.h"

namespace zentorak {

namespace {
constexpr int kPollMicroseconds = 100000;
constexpr std::chrono::milliseconds kReconnectPause{500};
}  // namespace

GpsdDriver::GpsdDriver(std::string host, std::string port, Clock clock)
    : host_(std::move(host)),
      port_(std::move(port)),
      clock_(std::move(clock)),
      data_(std::make_unique<gps_data_t>()) {}

GpsdDriver::~GpsdDriver() {
    Close();
}

int GpsdDriver::Connect() {
    *data_ = gps_data_t{};
    errno = 0;
    if (gps_open(host_.c_str(), port_.c_str(), data_.get()) != 0) {
        return errno > 0 ? errno : ECONNREFUSED;
    }
    if (gps_stream(data_.get(), WATCH_ENABLE | WATCH_JSON, nullptr) != 0) {
        const int error = errno > 0 ? errno : EIO;
        gps_close(data_.get());
        return error;
    }
    connected_ = true;
    return 0;
}

void GpsdDriver::Disconnect() {
    if (connected_) {
        gps_close(data_.get());
        connected_ = false;
    }
}

int GpsdDriver::Open(GpsEvents& events) {
    if (thread_.joinable()) {
        return EBUSY;
    }
    const int error = Connect();
    if (error != 0) {
        return error;
    }
    events_ = &events;
    stop_ = false;
    thread_ = std::thread(&GpsdDriver::Run, this);
    return 0;
}

int GpsdDriver::Close() {
    if (!thread_.joinable()) {
        return 0;
    }
    stop_ = true;
    thread_.join();
    if (connected_) {
        gps_stream(data_.get(), WATCH_DISABLE, nullptr);
    }
    Disconnect();
    events_ = nullptr;
    return 0;
}

void GpsdDriver::ReadAvailable() {
    if (!gps_waiting(data_.get(), kPollMicroseconds)) {
        return;
    }
    char line[16384] = {};  // larger than any report gpsd sends
    if (gps_read(data_.get(), line, sizeof line - 1) < 0) {
        Disconnect();  // gpsd went away; Run reconnects
        return;
    }
    HandleReport(line);
}

void GpsdDriver::Run() {
    while (!stop_) {
        if (connected_) {
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
        if (report.kind == GpsdReport::kTpv && report.mode >= 2 && report.hasLatLon) {
            // gpsd gives metres per second; the driver record holds knots.
            fix_ = GpsPosition{satellites_, report.latitude, report.longitude,
                               static_cast<float>(report.speed * kKnotsPerMetrePerSecond),
                               static_cast<float>(report.track)};
            fixTime_ = clock_();
            haveFix_ = true;
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
    if (!haveFix_ || clock_() - fixTime_ > std::chrono::milliseconds(maxAgeMs)) {
        return ENODATA;
    }
    out = fix_;
    return 0;
}

int GpsdDriver::GetDeviceState(GpsDevice& out) {
    std::lock_guard lock(mutex_);
    out.friendlyName = deviceName_;
    return 0;
}

}  // namespace zentorak
