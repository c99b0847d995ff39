// What the main window asks of the position update cycle: a manual or periodic update, the
// left soft key, and the "position ready" command posted back when a fix has come in.
// The window only routes these calls; the cycle itself lives behind this interface.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

namespace zentorak {

class PositionUpdates {
public:
    virtual ~PositionUpdates() = default;
    // pollLimit: how often the W-SIM reply is polled (20 by hand and at start-up, 2 on a tick).
    virtual void UpdateNow(int pollLimit) = 0;
    virtual void OnSoftKey() = 0;
    // source: the command's parameter (which position source posted it).
    virtual void OnPositionReady(int source) = 0;
    // True while a GPS request is in progress (the radar shows "位置取得中").
    virtual bool Busy() const = 0;
    // The options may have changed InfoUpdateMode: bring the soft key and timer in line.
    virtual void AfterOptions() {}
    // Start-up has started the periodic timer itself (a saved running periodic update): an
    // update cycle that keeps its own record of the timer takes note, so that it can stop it.
    virtual void PeriodicTimerStarted() {}
    // The list's and the radar's "電話" commands for found target `target`.
    virtual void PlaceCall(int /*target*/) {}
    // Before the program's view is left (the map in the browser): a running periodic update
    // stops, with `notice` shown titled "定期更新停止".
    virtual void StopPeriodicUpdateFor(std::u16string_view notice) = 0;
    // Teardown: close the port and stop the GPS session.
    virtual void Shutdown() {}
};

// Until a position source is plugged in, every request only repaints the window.
class RepaintOnlyUpdates : public PositionUpdates {
public:
    explicit RepaintOnlyUpdates(std::function<void()> repaint) : repaint_(std::move(repaint)) {}
    void UpdateNow(int) override { repaint_(); }
    void OnSoftKey() override { repaint_(); }
    void OnPositionReady(int) override { repaint_(); }
    bool Busy() const override { return false; }
    // There is no periodic update to stop.
    void StopPeriodicUpdateFor(std::u16string_view) override {}

private:
    std::function<void()> repaint_;
};

}  // namespace zentorak
