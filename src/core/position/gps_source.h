// The GPS position source: one asynchronous request at a time over a GpsDriver session, whose
// reader thread posts the answer command when the first position arrives and keeps the request
// record up to date afterwards. Does not touch the origin or search; the window does that.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/position/gps_driver.h"

namespace zentorak {

// Stands for the window that an answer is posted to: called from the reader thread with the
// command id, it must hand the command to the window's own thread (a queued post).
using PostCommandFn = std::function<void(uint16_t command)>;

inline constexpr int kGpsNoRequestMemory = -103;
inline constexpr int kGpsNoThreadMemory = -104;
inline constexpr int kGpsSessionFailed = -105;
inline constexpr uint32_t kGpsMaximumAgeMs = 3000;
inline constexpr std::chrono::milliseconds kGpsStopWait{5000};
inline constexpr size_t kGpsDeviceNameMax = 64;
// What a request posts instead of its command when the device reports that it failed.
inline constexpr uint16_t kGpsRequestFailed = 0;

// The request record. The reader thread writes it while the window's thread may read it, so
// the fields sit behind a mutex; the posted command still orders the first answer.
class GpsRequest {
public:
    virtual ~GpsRequest() = default;
    virtual void OnNewPosition(const GpsPosition& position);
    virtual void OnDeviceState(const GpsDevice& device);

    // Starts a request: clears the fields and sets waiting.
    void Reset(PostCommandFn window, int command, std::atomic<int>* busyFlag);
    GpsPosition Position() const;
    std::u16string DeviceName() const;
    bool Waiting() const { return waiting_.load() != 0; }
    // Clears the busy flag and forgets it and the window: nothing is posted any more.
    void Detach();

private:
    mutable std::mutex mutex_;
    PostCommandFn window_;
    int command_ = 0;
    std::atomic<int> waiting_{0};
    GpsPosition last_;
    std::atomic<int>* busyFlag_ = nullptr;
    std::u16string deviceName_;
};

// What the reader thread shares with the session; kept alive by both, so that a thread
// abandoned after the stop wait can still finish safely.
struct GpsReaderShared {
    std::shared_ptr<GpsDriver> driver;
    std::shared_ptr<GpsRequest> request;
    GpsEvents events;
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
};

// Waits on the three events and feeds the request until the stop event.
void GpsReaderThread(std::shared_ptr<GpsReaderShared> shared);

// The program-wide session: device (driver), events and reader thread. Freed when a session is
// stopped for a new request and allocated again.
struct GpsSession {
    std::shared_ptr<GpsReaderShared> shared;  // events and driver; null when none
    std::thread thread;
    bool deviceOpen = false;
};

class GpsSource {
public:
    using DriverFactory = std::function<std::shared_ptr<GpsDriver>()>;

    // `busyFlag` is the application's acquisition-running flag (the radar reads it). `stopWait`
    // is how long a stop waits for the reader thread before abandoning it (tests shorten it).
    GpsSource(DriverFactory makeDriver, std::atomic<int>& busyFlag,
              std::chrono::milliseconds stopWait = kGpsStopWait);
    ~GpsSource();
    GpsSource(const GpsSource&) = delete;
    GpsSource& operator=(const GpsSource&) = delete;

    // 0 when started or already running; -103, -104 or -105 on failure (flag cleared again).
    int StartGpsRequest(PostCommandFn window, int command);
    // 0, E_INVALIDARG without an open device, or a system-error status.
    int StopGpsSession();

    // The request record (null before the first request); read after the answer is posted.
    const GpsRequest* Request() const { return request_.get(); }
    bool SessionOpen() const { return session_ && session_->deviceOpen; }

private:
    int StartSession();
    int WaitForReader(std::chrono::milliseconds limit);

    DriverFactory makeDriver_;
    std::atomic<int>& busyFlag_;
    std::chrono::milliseconds stopWait_;
    std::shared_ptr<GpsRequest> request_;
    std::unique_ptr<GpsSession> session_;  // the thread record: present once a session was tried
};

}  // namespace zentorak
