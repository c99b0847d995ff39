#include "core/position/gps_driver.h"

#include <cerrno>

namespace zentorak {

int32_t SystemErrorStatus(int errorCode) {
    if (errorCode <= 0) {
        return static_cast<int32_t>(errorCode);
    }
    return static_cast<int32_t>(0x80070000u | (static_cast<uint32_t>(errorCode) & 0xFFFFu));
}

bool IsRealFix(int mode, bool hasLatLon) {
    return mode >= kFixMode2D && hasLatLon;
}

void LastFix::Take(const GpsPosition& fix, TimePoint when) {
    fix_ = fix;
    time_ = when;
    have_ = true;
}

int LastFix::Get(GpsPosition& out, TimePoint now, uint32_t maxAgeMs) const {
    if (!have_ || now - time_ > std::chrono::milliseconds(maxAgeMs)) {
        return ENODATA;
    }
    out = fix_;
    return 0;
}

void GpsEvents::Signal(Index which) {
    {
        std::lock_guard lock(mutex_);
        signalled_[which] = true;
    }
    changed_.notify_all();
}

int GpsEvents::TakeLocked() {
    for (int i = 0; i < 3; ++i) {
        if (signalled_[i]) {
            signalled_[i] = false;
            return i;
        }
    }
    return kNone;
}

GpsEvents::Index GpsEvents::WaitAny() {
    std::unique_lock lock(mutex_);
    int taken;
    changed_.wait(lock, [&] { return (taken = TakeLocked()) != kNone; });
    return static_cast<Index>(taken);
}

int GpsEvents::WaitAnyFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    int taken = kNone;
    changed_.wait_for(lock, timeout, [&] { return (taken = TakeLocked()) != kNone; });
    return taken;
}

}  // namespace zentorak
