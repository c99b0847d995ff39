#include "core/position/fallback_gps_driver.h"

#include <cerrno>

namespace zentorak {

std::u16string GpsServiceLine(const std::vector<std::u16string>& failed,
                              const std::u16string& serving) {
    std::u16string line = u"GPS: ";
    if (serving.empty()) {
        for (size_t i = 0; i < failed.size(); ++i) {
            line += (i ? u" " : u"") + failed[i] + u" にも";
        }
        return line + u"接続できません";
    }
    if (failed.empty()) {
        return line + serving + u" に接続しました";
    }
    for (size_t i = 0; i < failed.size(); ++i) {
        line += (i ? u"・" : u"") + failed[i];
    }
    return line + u" に接続できないため " + serving + u" を使います";
}

FallbackGpsDriver::FallbackGpsDriver(std::vector<Service> services, Notice notice)
    : services_(std::move(services)), notice_(std::move(notice)) {}

FallbackGpsDriver::~FallbackGpsDriver() {
    Close();
}

int FallbackGpsDriver::Open(GpsEvents& events) {
    std::unique_lock lock(mutex_);
    if (active_) {
        return EBUSY;
    }
    int error = ENODEV;
    std::vector<std::u16string> failed;
    for (const Service& service : services_) {
        std::shared_ptr<GpsDriver> driver = service.make ? service.make() : nullptr;
        error = driver ? driver->Open(events) : ENODEV;
        if (error == 0) {
            active_ = std::move(driver);
            serving_ = service.name;
            break;
        }
        failed.push_back(service.name);
    }
    const std::u16string line = GpsServiceLine(failed, serving_);
    lock.unlock();
    if (notice_) {
        notice_(line);
    }
    return error;
}

std::shared_ptr<GpsDriver> FallbackGpsDriver::Active() const {
    std::lock_guard lock(mutex_);
    return active_;
}

int FallbackGpsDriver::GetPosition(GpsPosition& out, uint32_t maxAgeMs) {
    const std::shared_ptr<GpsDriver> driver = Active();
    return driver ? driver->GetPosition(out, maxAgeMs) : ENODEV;
}

int FallbackGpsDriver::GetDeviceState(GpsDevice& out) {
    const std::shared_ptr<GpsDriver> driver = Active();
    return driver ? driver->GetDeviceState(out) : ENODEV;
}

// A reader thread abandoned by the session may still hold the service through Active(); the
// service then lives until that call returns.
int FallbackGpsDriver::Close() {
    std::shared_ptr<GpsDriver> driver;
    {
        std::lock_guard lock(mutex_);
        driver = std::move(active_);
        serving_.clear();
    }
    return driver ? driver->Close() : 0;
}

std::u16string FallbackGpsDriver::Serving() const {
    std::lock_guard lock(mutex_);
    return serving_;
}

}  // namespace zentorak
