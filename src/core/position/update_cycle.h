// The position-update cycle: update now (GPS request or W-SIM acquisition), position ready,
// the periodic timer, the update soft key in its three modes, the soft key after the options,
// and the phone call. Decides what happens; the window carries it out through UpdateHost.
// Does not search or paint itself, and owns no window.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "core/text/exchange_log.h"
#include "core/position/gps_source.h"
#include "core/position/update_host.h"
#include "core/position/wsim_port.h"
#include "core/position/wsim_query.h"

namespace zentorak {

inline constexpr int kUpdateCommand = 32771;         // ID_UPDATE, the left soft key
inline constexpr int kPositionReadyCommand = 32796;  // ID_POSITION_READY
inline constexpr int kPeriodicTimerId = 2001;        // PERIODIC_TIMER_ID
inline constexpr int kPeriodicTimerMs = 6000;
inline constexpr int kManualPollLimit = 20;   // manual update and the update at start-up
inline constexpr int kPeriodicPollLimit = 2;  // ticks, resuming, after the options
inline constexpr size_t kMaxTelephoneLength = 25;
inline constexpr int kPortOpenFailed = -101;
inline constexpr int kCallFailed = -102;

// The soft-key text that belongs to the update settings (also the text at start-up).
std::u16string_view SoftKeyTextFor(const Settings& settings);

class UpdateCycle {
public:
    // `portBase` is the folder whose ports/COMn links name the W-SIM port (the program's folder).
    UpdateCycle(UpdateHost& host, GpsSource::DriverFactory makeGpsDriver,
                std::filesystem::path portBase, SleepFn sleep = RealSleep);
    ~UpdateCycle() { Shutdown(); }

    // Teardown: closes the W-SIM port, stops the GPS session (waiting up to 5000 ms for its
    // reader), kills the timer. Safe to call more than once.
    void Shutdown();

    void UpdateNow(int pollLimit);
    // The W-SIM acquisition entry: 0 when another acquisition runs or the query's result;
    // -101 when the port cannot be opened (no position-ready then).
    int AcquireWsimPosition(int pollLimit);
    void OnPositionReady(PositionSource source);
    void OnTimer() { UpdateNow(kPeriodicPollLimit); }
    void OnUpdateSoftKey();
    void AfterOptionsApplied();
    // The window started the periodic timer at start-up; from now on it is the cycle's to kill.
    void NoteTimerStarted() { updateTimer_ = kPeriodicTimerId; }
    // 0 when the shell took "TEL:" + number, else -102 (after its message).
    int PlaceCall(int targetIndex);
    // Stops a running periodic update before the program's view is left, with `notice` shown
    // titled "定期更新停止" (the phone call's and the map display's own texts).
    void StopPeriodicUpdateFor(std::u16string_view notice);

    // A line saying which GPS service serves (FallbackGpsDriver's notice), on the window's
    // thread. Logged only when it differs from the last one, so that a periodic update does
    // not push the W-SIM exchange out of the log with the same line every six seconds.
    void NoteGpsService(std::u16string_view line);

    // The acquisition-running flag of GPS requests; the radar shows "位置取得中" while set.
    const std::atomic<int>& GpsBusy() const { return gpsBusy_; }
    const GpsSource& Gps() const { return gps_; }
    ExchangeLog& Log() { return log_; }
    bool TimerRunning() const { return updateTimer_ != 0; }

    static void RealSleep(std::chrono::milliseconds duration);

private:
    void KillPeriodicTimer();
    bool OpenWsimPort();

    UpdateHost& host_;
    std::atomic<int> gpsBusy_{0};
    GpsSource gps_;
    WsimPort port_;
    SleepFn sleep_;
    ExchangeLog log_;
    std::mutex acquisitionLock_;  // entered with try_lock: a second acquisition just returns
    int updateTimer_ = 0;
    std::u16string lastGpsService_;
};

}  // namespace zentorak
