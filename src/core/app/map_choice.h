// The rules of the map display confirmation: which service and scale it opens with (falling
// back for values outside the tables), the scale a newly chosen service starts at, and the
// confirmation mode its check box leaves behind. Shows nothing and builds no URL.
#pragma once

#include "core/settings/settings_store.h"

namespace zentorak {

struct MapChoice {
    int service = 1;  // MapServiceId, 1..7
    int scaleIx = 1;  // 1-based within the service's scale table
    bool operator==(const MapChoice&) const = default;
};

// The stored choice made valid: a MapSiteNo outside 1..7 stands for Mapion (1); the stored
// MapScaleIx when that service's table has it, else the service's default.
MapChoice StoredMapChoice(const Settings& settings);

// The choice the confirmation opens with: StoredMapChoice, and a MapSiteNo outside 1..7 becomes
// 1 in the settings too.
MapChoice OpeningMapChoice(Settings& settings);

// A service confirmed in the list: a different one starts at its default scale (not at what was
// chosen for it before); the one already shown keeps its scale.
MapChoice SwitchMapService(const MapChoice& shown, int service);

// ConfBfrMapDispMode after OK: 1 asks again next time, 2 opens the browser directly.
inline int ConfirmationModeAfter(bool askAgain) {
    return askAgain ? 1 : 2;
}

}  // namespace zentorak
