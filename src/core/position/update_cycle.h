// The position-update cycle: update now (GPS request or W-SIM acquisition), position ready,
// the periodic timer, the update soft key in its three modes, the soft key after the options,
// and the phone call. Decides what happens; the window carries it out through UpdateHost.
// Does not search or paint itself, and owns no window.
#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/position/gps_source.h"
#include "core/position/update_host.h"
#include "core/position/wsim_port.h"
#include "core/position/wsim_query.h"
#include "core/resources/resource_ids.h"
#include "core/text/exchange_log.h"

namespace zentorak {

inline constexpr int kManualPollLimit = 20;   // manual update and the update at start-up
inline constexpr int kPeriodicPollLimit = 2;  // ticks, resuming, after the options
inline constexpr size_t kMaxTelephoneLength = 25;
inline constexpr int kPortOpenFailed = -101;
inline constexpr int kCallFailed = -102;

// The "TEL:" address for a telephone field of at most kMaxTelephoneLength characters: its digits
// (full-width ones as ASCII), a leading '+', the separators '-', '.', '(' and ')', and '*' and
// '#' percent-encoded; anything else (spaces, '?', '&', '%') is left out, so no character can
// give the address a query, a fragment or an encoded byte. nullopt for a longer field or one
// without a digit.
std::optional<std::u16string> TelephoneAddress(std::u16string_view number);

// The one rule of the update modes. The periodic update runs when InfoUpdateMode is 1 (periodic)
// and AutoUpdateMode is 1 (running); the left soft key then reads "更新停止", "更新再開" when the
// periodic update is stopped, and "更新" in the manual mode.
bool PeriodicRunning(const Settings& settings);
std::u16string_view SoftKeyTextFor(const Settings& settings);
// At start-up the stored modes are brought in line: manual clears AutoUpdateMode, a periodic
// update that is not running is stopped (2). Returns the soft key's text.
std::u16string_view StartupUpdateModes(Settings& settings);
// The update start-up begins with, as a W-SIM poll limit, 0 for none: the search at start
// (StartupSrchMode 1) as a manual update; otherwise a running periodic update's first round at
// once, as a tick, rather than an empty radar until the timer's first tick.
int StartupPollLimit(const Settings& settings);

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
    void NoteTimerStarted() { updateTimer_ = res::PERIODIC_TIMER_ID; }
    // 0 when the shell took the number's TelephoneAddress, else -102 (after its message).
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
    void StartGpsRequest();
    void ShowAcquisitionFailure(const Notice& notice);

    UpdateHost& host_;
    std::atomic<int> gpsBusy_{0};
    GpsSource gps_;
    WsimPort port_;
    SleepFn sleep_;
    ExchangeLog log_;
    // Set while an acquisition runs; a second one (a timer tick inside the port-failure message
    // box, whose nested event loop runs on the same thread) just returns. Every caller is on the
    // window's thread, so a plain flag is the whole lock; a mutex tried again by its own holder
    // would be undefined behaviour.
    bool acquiring_ = false;
    int updateTimer_ = 0;
    std::u16string lastGpsService_;
    bool gpsFailureShown_ = false;  // a tick while its box is open must not stack another
};

}  // namespace zentorak
