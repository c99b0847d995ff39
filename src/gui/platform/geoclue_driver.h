// The GPS driver on GeoClue, the position service of Linux phones, through Qt Positioning; and
// the program's GPS services: gpsd first, GeoClue when gpsd cannot be reached.
// Qt's position source lives on a thread of its own with an event loop, while the driver's
// calls come from the session's threads: fixes cross over under a mutex and wake the reader
// through the session's events, as the gpsd driver's do. Does not decide what a fix is for.
#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/platform/app_folder.h"
#include "core/position/fallback_gps_driver.h"
#include "core/position/gps_driver.h"

class QThread;

namespace zentorak {

class GeoclueBridge;

class GeoclueDriver : public GpsDriver {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Gets a line for the log when GeoClue refuses or drops the program later on; called on the
    // driver's own thread, so it must only queue.
    using Notice = std::function<void(const std::u16string& line)>;

    // desktopId: the name GeoClue and its agent know the program by (its desktop entry's).
    explicit GeoclueDriver(Notice notice = {}, QString desktopId = QString::fromLatin1(kAppId),
                           Clock clock = std::chrono::steady_clock::now);
    ~GeoclueDriver() override;

    // 0 once GeoClue has been asked for updates, or when asking it takes longer than kOpenWait
    // (the start goes on, and a start that fails then reports the device as failed);
    // ECONNREFUSED without a system bus or without GeoClue on it (running or startable), ENOENT
    // without Qt's GeoClue plugin, EBUSY when open. Never blocks the caller for longer.
    int Open(GpsEvents& events) override;
    // As long as the gpsd driver's connect may take.
    static constexpr std::chrono::milliseconds kOpenWait{1500};
    int GetPosition(GpsPosition& out, uint32_t maxAgeMs) override;
    // The device is the service itself: "GeoClue".
    int GetDeviceState(GpsDevice& out) override;
    int Close() override;

private:
    friend class GeoclueBridge;
    // The result of the bridge's start, shared with a caller that may have stopped waiting.
    struct PendingStart {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        bool abandoned = false;  // Open returned before the start ended
        int error = 0;
    };
    // On the bridge's thread. A final failure means no position will come: the device state
    // says so, which ends a waiting request.
    void Deliver(const GpsPosition& fix);
    void Fail(const std::u16string& line, bool final = false);

    Notice notice_;
    QString desktopId_;
    Clock clock_;
    std::unique_ptr<QThread> thread_;
    GeoclueBridge* bridge_ = nullptr;  // lives on thread_

    std::mutex mutex_;
    GpsEvents* events_ = nullptr;
    LastFix fix_;
    bool failed_ = false;
};

// The program's GPS driver: gpsd on localhost:2947 first, GeoClue when gpsd cannot be reached.
// `notice` gets the log lines of both, from the thread that opens the session and from
// GeoClue's thread; it must only queue.
std::shared_ptr<GpsDriver> MakeProgramGpsDriver(FallbackGpsDriver::Notice notice);

}  // namespace zentorak
