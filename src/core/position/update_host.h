// What the position-update cycle needs from the main window, as one small interface. The Qt
// main window implements it in a few lines per call; tests implement it with a recorder.
// Every call is made on the window's thread, except PostPositionReady (see there).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/geo/dms.h"
#include "core/settings/settings_store.h"
#include "core/text/notice.h"

namespace zentorak {

// Where a position-ready command comes from; carried as the command's parameter. A W-SIM query
// that stored no position says so, so that its log stays in front instead of an unchanged list.
// kGpsFailed: the GPS service failed after it had been opened, so no answer will come.
enum class PositionSource { kGps = 0, kWsim = 1, kWsimNoPosition = 2, kGpsFailed = 3 };

class UpdateHost {
public:
    virtual ~UpdateHost() = default;

    // The settings fields (AppState). The cycle reads InfoUpdateMode, MthdGetLocInfo and
    // PortName, and writes AutoUpdateMode.
    virtual Settings& CurrentSettings() = 0;

    // originLat/originLon := the point, originValid := 1. Nothing else (no search, no repaint).
    virtual void SetOrigin(const DmsAngle& lat, const DmsAngle& lon) = 0;

    // Text of the left soft key (command 32771); only the text changes.
    virtual void SetSoftKeyText(std::u16string_view text) = 0;

    // SetTimer/KillTimer on the main window: timer `id` ticking every `periodMs` until killed;
    // each tick must reach UpdateCycle::OnTimer.
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;

    // A modal message box over the main window with an OK button.
    virtual void ShowMessage(const Notice& notice) = 0;

    // paneMode := 2: the log pane (1002) shown, the result list (1004) hidden.
    virtual void ShowLogPane() = 0;
    // The whole log text for the log pane (WM_SETTEXT to 1002); called after every line.
    virtual void SetLogText(const std::u16string& text) = 0;

    // Wait cursor on (override cursor) and back to the arrow. Always paired by the cycle.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Posts ID_POSITION_READY (32796) to the window with `source` as its parameter; the window
    // then calls UpdateCycle::OnPositionReady(source) from its own event loop. Called from the
    // GPS reader thread too, so it must only queue (QMetaObject::invokeMethod, queued).
    virtual void PostPositionReady(PositionSource source) = 0;

    // Invalidate the whole main window and paint it now (so "位置取得中" shows at once).
    virtual void RepaintNow() = 0;

    // Search around the origin (SearchNearest, refill the list, centre the origin in the radar,
    // show the list pane, repaint).
    virtual void SearchAroundOrigin() = 0;

    // The text of found target `index` in the telephone column: nullopt when there is no such
    // column (telColumn -1 or not in the loaded files), no such target or no text for it.
    virtual std::optional<std::u16string> TelephoneText(int index) = 0;

    // Hands `url` to the shell (QDesktopServices::openUrl); true when it was accepted.
    virtual bool OpenUrl(std::u16string_view url) = 0;
};

}  // namespace zentorak
