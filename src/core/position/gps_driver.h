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
    float speed = 0;       // knots
    float heading = 0;     // degrees from true north
};

// gpsd's fix modes, which the GeoClue driver's coordinate types are mapped onto.
inline constexpr int kFixModeNone = 1;
inline constexpr int kFixMode2D = 2;
inline constexpr int kFixMode3D = 3;

// A report is a new position only when it is a real fix (2D or 3D) with both coordinates; a
// "no fix" report's 0/0 would otherwise be taken for a place.
bool IsRealFix(int mode, bool hasLatLon);

// A driver's last real fix and when it came. It answers only while it is fresh, so that a fix
// lost since is not taken for where the user is now. Not locked: the driver's mutex guards it.
class LastFix {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    void Take(const GpsPosition& fix, TimePoint when);
    void Forget() { have_ = false; }
    // 0 with the fix, or ENODATA when there is none or it is more than `maxAgeMs` old at `now`.
    int Get(GpsPosition& out, TimePoint now, uint32_t maxAgeMs) const;

private:
    bool have_ = false;
    GpsPosition fix_;
    TimePoint time_;
};

struct GpsDevice {
    std::u16string friendlyName;  // at most 64 units are kept by the request
    // The service gave up after it was opened (it refused the program, or its start failed
    // after the open had returned): no position will come.
    bool failed = false;
};

// Three auto-reset events that one thread waits on together; the first signalled in index
// order wins and is reset by the wait.
class GpsEvents {
public:
    enum Index { kNewPosition = 0, kDeviceState = 1, kStop = 2 };
    static constexpr int kNone = -1;  // nothing signalled

    void Signal(Index which);
    Index WaitAny();
    // As WaitAny but gives up after `timeout`; returns kNone then.
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
