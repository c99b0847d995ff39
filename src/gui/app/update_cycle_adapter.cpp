#include "gui/app/update_cycle_adapter.h"

#include <QApplication>
#include <QCursor>

#include "core/gpsd/gpsd_driver.h"
#include "core/platform/app_folder.h"
#include "core/resources/resource_ids.h"
#include "gui/app/main_window.h"
#include "gui/app/result_panes.h"
#include "gui/platform/geoclue_driver.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/shell_open.h"

namespace zentorak {

UpdateCycleAdapter::UpdateCycleAdapter(MainWindow& window, AppState& state,
                                       GpsSource::DriverFactory makeGps,
                                       std::filesystem::path portBase, SleepFn sleep)
    : window_(window), state_(state) {
    cycle_ = std::make_unique<UpdateCycle>(*this, std::move(makeGps), std::move(portBase),
                                           std::move(sleep));
    // The cycle writes the W-SIM exchange into its own log; the pane's text (AppState::log, the
    // same bounded ExchangeLog) is replaced by it after every change, so the two cannot drift
    // apart. The pane starts with the log's own first line, "START".
    SetLogText(cycle_->Log().Text());
}

// The cycle's destructor stops the GPS reader, which may still post to the window: it goes
// first, while the window is certainly there.
UpdateCycleAdapter::~UpdateCycleAdapter() {
    cycle_.reset();
}

std::unique_ptr<PositionUpdates> UpdateCycleAdapter::ForProgram(MainWindow& window,
                                                                AppState& state) {
    // The services' log lines go to the cycle, which is there only once the adapter is.
    auto self = std::make_shared<UpdateCycleAdapter*>();
    auto adapter = std::make_unique<UpdateCycleAdapter>(
        window, state,
        [self] {
            return MakeProgramGpsDriver(
                [self](const std::u16string& line) { (*self)->NoteGpsService(line); });
        },
        ProgramAppFolder().path);
    *self = adapter.get();
    return adapter;
}

// From the GPS session's threads: only queued to the window's.
void UpdateCycleAdapter::NoteGpsService(const std::u16string& line) {
    QMetaObject::invokeMethod(
        &window_,
        [this, line] {
            if (!shutDown_) {
                cycle_->NoteGpsService(line);
            }
        },
        Qt::QueuedConnection);
}

void UpdateCycleAdapter::UpdateNow(int pollLimit) {
    if (!shutDown_) {
        cycle_->UpdateNow(pollLimit);
    }
}

void UpdateCycleAdapter::OnSoftKey() {
    if (!shutDown_) {
        cycle_->OnUpdateSoftKey();
    }
}

// After teardown the targets are gone: a position-ready still queued then must do nothing.
void UpdateCycleAdapter::OnPositionReady(int source) {
    if (shutDown_) {
        return;
    }
    // Only the sources the cycle posts; anything else must not read the GPS record.
    PositionSource from = PositionSource::kWsim;
    if (source == static_cast<int>(PositionSource::kGps)) {
        from = PositionSource::kGps;
    } else if (source == static_cast<int>(PositionSource::kGpsFailed)) {
        from = PositionSource::kGpsFailed;
    } else if (source == static_cast<int>(PositionSource::kWsimNoPosition)) {
        from = PositionSource::kWsimNoPosition;
        // What the radar shows is no longer where the person is; it says so until a new
        // position comes.
        state_.foundAtPreviousPosition = state_.originValid == 1 && state_.found.count > 0;
        window_.Repaint();
    }
    cycle_->OnPositionReady(from);
}

void UpdateCycleAdapter::PlaceCall(int target) {
    if (!shutDown_) {
        cycle_->PlaceCall(target);
    }
}

void UpdateCycleAdapter::StopPeriodicUpdateFor(std::u16string_view notice) {
    if (!shutDown_) {
        cycle_->StopPeriodicUpdateFor(notice);
    }
}

void UpdateCycleAdapter::Shutdown() {
    shutDown_ = true;
    cycle_->Shutdown();
}

void UpdateCycleAdapter::SetOrigin(const DmsAngle& lat, const DmsAngle& lon) {
    state_.originLat = lat;
    state_.originLon = lon;
    state_.originValid = 1;
}

void UpdateCycleAdapter::SetSoftKeyText(std::u16string_view text) {
    window_.SetSoftKeyText(ToQString(text));
}

// The window has the one periodic timer; its ticks come back as UpdateNow(kPeriodicPollLimit),
// which is the cycle's OnTimer.
void UpdateCycleAdapter::StartTimer(int id, int periodMs) {
    window_.StartUpdateTimer(id, periodMs);
}

void UpdateCycleAdapter::KillTimer(int) {
    window_.StopUpdateTimer();
}

// Whatever its icon, the cycle's box has only OK.
void UpdateCycleAdapter::ShowMessage(const Notice& notice) {
    zentorak::ShowMessage(&window_, ToQString(notice.text), ToQString(notice.title), notice.icon);
}

// The W-SIM exchange blocks the window's thread until the module has answered: the log pane is
// painted at once after each change, or the person would never see the exchange.
void UpdateCycleAdapter::ShowLogPane() {
    window_.ShowLogPane();
    PaintLogNow();
}

void UpdateCycleAdapter::SetLogText(const std::u16string& text) {
    window_.SetLogText(text);
    PaintLogNow();
}

void UpdateCycleAdapter::PaintLogNow() {
    QPlainTextEdit* log = window_.Panes().Log();
    if (log->isVisible()) {
        log->viewport()->repaint();
    }
}

void UpdateCycleAdapter::BeginWaitCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void UpdateCycleAdapter::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}

// Called from the GPS reader thread: PostCommand only queues.
void UpdateCycleAdapter::PostPositionReady(PositionSource source) {
    window_.PostCommand(res::ID_POSITION_READY, static_cast<int>(source));
}

void UpdateCycleAdapter::RepaintNow() {
    window_.Repaint();
}

void UpdateCycleAdapter::SearchAroundOrigin() {
    window_.SearchAroundOrigin();
}

std::optional<std::u16string> UpdateCycleAdapter::TelephoneText(int index) {
    return window_.TelephoneText(index);
}

bool UpdateCycleAdapter::OpenUrl(std::u16string_view url) {
    return ShellOpen(ToQString(url));
}

}  // namespace zentorak
