// Connects the main window to the position-update cycle: the window's update calls go to the
// cycle, and the cycle's requests (soft key, timer, messages, log pane, origin, search, calls)
// come back to the window. Decides nothing itself; the cycle does.
#pragma once

#include <filesystem>
#include <memory>

#include "core/app/app_state.h"
#include "core/app/position_updates.h"
#include "core/position/update_cycle.h"
#include "core/position/update_host.h"

namespace zentorak {

class MainWindow;

class UpdateCycleAdapter : public PositionUpdates, public UpdateHost {
public:
    // portBase: the folder whose ports/COMn links name the W-SIM port (the program's folder).
    UpdateCycleAdapter(MainWindow& window, AppState& state, GpsSource::DriverFactory makeGps,
                       std::filesystem::path portBase, SleepFn sleep = UpdateCycle::RealSleep);
    ~UpdateCycleAdapter() override;

    // The factory the real program plugs into its Application: gpsd (GeoClue when gpsd cannot
    // be reached) and the W-SIM port in the program's folder.
    static std::unique_ptr<PositionUpdates> ForProgram(MainWindow& window, AppState& state);

    UpdateCycle& Cycle() { return *cycle_; }

    // PositionUpdates (the window's side).
    void UpdateNow(int pollLimit) override;
    void OnSoftKey() override;
    void OnPositionReady(int source) override;
    bool Busy() const override { return cycle_->GpsBusy().load() != 0; }
    void AfterOptions() override { cycle_->AfterOptionsApplied(); }
    void PeriodicTimerStarted() override { cycle_->NoteTimerStarted(); }
    void PlaceCall(int target) override;
    void StopPeriodicUpdateFor(std::u16string_view notice) override;
    void Shutdown() override;

    // UpdateHost (the cycle's side).
    Settings& CurrentSettings() override { return state_.settings; }
    void SetOrigin(const DmsAngle& lat, const DmsAngle& lon) override;
    void SetSoftKeyText(std::u16string_view text) override;
    void StartTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    void ShowMessage(const Notice& notice) override;
    void ShowLogPane() override;
    void SetLogText(const std::u16string& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void PostPositionReady(PositionSource source) override;
    void RepaintNow() override;
    void SearchAroundOrigin() override;
    std::optional<std::u16string> TelephoneText(int index) override;
    bool OpenUrl(std::u16string_view url) override;

private:
    void PaintLogNow();
    void NoteGpsService(const std::u16string& line);

    MainWindow& window_;
    AppState& state_;
    std::unique_ptr<UpdateCycle> cycle_;
    bool shutDown_ = false;
};

}  // namespace zentorak
