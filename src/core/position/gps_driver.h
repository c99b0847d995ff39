// The GPS driver as the position code sees it: open (with the two events it signals), last
// position, device state, close; plus the auto-reset event set the reader thread waits on.
// The real drivers talk to gpsd (core/gpsd/gpsd_driver.h) or GeoClue
// (gui/platform/geoclue_driver.h); tests put their own beside them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace zentorak {

// Failure statuses in the handset's form: 0x80070000 | system error code, as a negative int.
inline constexpr int32_t kEInvalidArg = static_cast<int32_t>(0x80070057u);
int32_t SystemErrorStatus(int errorCode);

inline constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

struct GpsPosition {
    uint32_t satelliteCount = 0;
    double latitude = 0;   // decimal degrees
    double longitude = 0;  // decimal degrees
    float speed = 0;    // knots
    float heading = 0;  // degrees from true north
};

struct GpsDevice {
    std::u16string friendlyName;  // at most 64 units are kept by the request
};

// Three auto-reset events that one thread waits on together; the first signalled in index
// order wins and is reset by the wait.
class GpsEvents {
public:
    enum Index { kNewPosition = 0, kDeviceState = 1, kStop = 2 };

    void Signal(Index which);
    Index WaitAny();
    // As WaitAny but gives up after `timeout`; returns -1 then.
    int WaitAnyFor(std::chrono::milliseconds timeout);

private:
    int TakeLocked();
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_[3] = {false, false, false};
};

class GpsDriver {
public:
    virtual ~GpsDriver() = default;
    // Opens the device. From then on the driver signals kNewPosition for each new fix and
    // kDeviceState when the device changes. 0, or a positive system error code.
    virtual int Open(GpsEvents& events) = 0;
    // The last fix if it is at most `maxAgeMs` old: 0, or a positive system error code.
    virtual int GetPosition(GpsPosition& out, uint32_t maxAgeMs) = 0;
    virtual int GetDeviceState(GpsDevice& out) = 0;
    // Stops signalling and releases the device: 0, or a positive system error code.
    virtual int Close() = 0;
};

}  // namespace zentorak
