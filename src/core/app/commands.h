// What the main window's commands do to the program's state, without drawing: the text search
// with its origin move, the reload after the options, bringing a target into view, the search
// around the origin, the map display. Each returns what the window must show or do next; the
// window fills its list, repaints and shows the message boxes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/app_state.h"
#include "core/position/update_host.h"
#include "core/text/notice.h"

namespace zentorak {

// The messages the commands share.
Notice NoOriginNotice();        // a command that needs the origin before there is one
Notice NoItemSelectedNotice();  // a target command with no target chosen
Notice FixedModeQuestion();     // the text search asks before leaving the floating mode
Notice FavoriteAddFailedNotice();
Notice FavoriteMenuFullNotice();  // no menu id left for another favourite

// Writes the settings file now, atomically (a change the person made must survive the program
// being killed). nullopt when written, else the failure to show; the state keeps the change
// either way, for the save at the end.
std::optional<Notice> SaveSettingsNow(const AppState& state);

// Empties the found targets, their markers and the target grid: the step before the targets are
// loaded again, and at teardown.
void ClearTargets(AppState& state);

// After the options: the found-target arrays for the new TrgtSrchNum, the files loaded again and
// their columns looked up. nullopt on success, else the failure to show (nothing is searched).
std::optional<Notice> ReloadTargets(AppState& state);

// The nearest targets around the origin, with the origin drawn at the view centre (the centre of
// the layout's radar area) and the list pane in front.
void SearchAroundOrigin(AppState& state);

// Whether the text search must first ask to switch to the fixed origin mode.
bool TextSearchNeedsFixedMode(const AppState& state);

// The text search. Found: the origin moves to the first target and is drawn at `viewCentre`,
// the list pane comes to the front. None found: the origin becomes invalid. Returns the result
// message either way.
Notice RunTextSearch(AppState& state, const SearchTexts& texts, PixelPoint viewCentre);

// "移動": in the fixed mode the view shifts so that found target `k` stands at `viewCentre`
// (false: just repaint); in the floating mode `k` becomes the origin and true asks for a search
// around it.
bool BringTargetIntoView(AppState& state, int k, PixelPoint viewCentre);

class Dialogs;
class PositionUpdates;

inline constexpr std::u16string_view kMapStopText = u"地図を表示するため定期更新を停止しました。";

inline constexpr int kAppMapCancelled = -1;   // ShowTargetOnMap
inline constexpr int kAppMapOpenFailed = -2;  // ShowTargetOnMap: nothing took the address

// "地図を表示できませんでした。", after the system could not open a map's address.
Notice MapOpenFailedNotice();

// "地図表示" for a point. A running periodic update stops first (the browser takes the person
// away from the radar). With ConfBfrMapDispMode 1 the confirmation chooses the service and scale,
// remembered in MapSiteNo/MapScaleIx when MemMapScaleMode is 1; otherwise the stored ones apply.
// The URL then goes to `open`, which tells whether the system took it. 0 when handed on,
// kAppMapCancelled when the confirmation was cancelled, kAppMapOpenFailed when `open` failed
// (the caller shows MapOpenFailedNotice). The confirmation's choices are in `settings` either
// way.
int ShowTargetOnMap(Settings& settings, const DmsAngle& lat, const DmsAngle& lon, Dialogs& dialogs,
                    PositionUpdates& updates, const std::function<bool(const std::string&)>& open);

}  // namespace zentorak
