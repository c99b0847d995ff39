#include "core/app/app_state.h"

#include <new>

namespace zentorak {

void SetDefaults(AppState& state) {
    state.settings = Settings{};
    ClearLocationInfoFileList(state.locationInfoFiles);
    state.originLat = {};
    state.originLon = {};
    state.originValid = 0;
    state.layout = LayoutFor(DefaultHandsetScreen(state.dpi), state.dpi);
    state.originX = ViewCentre(state.layout).x;
    state.originY = ViewCentre(state.layout).y;
    state.scale = state.dpi.ScaleX(1000);
    state.dragState = kDragIdle;
    state.paneMode = kPaneLog;
    state.portOpen = 0;
    state.updateTimer = 0;
}

int AllocateFoundArrays(AppState& state) {
    // The settings file may hold any run of digits; the options only offer 20..100. A count no
    // handset could hold is refused like a failed allocation instead of overflowing the + 1 or
    // exhausting memory.
    if (state.settings.TrgtSrchNum < 0 || state.settings.TrgtSrchNum > kMaxTrgtSrchNum) {
        return kAppNoFoundArrays;
    }
    int capacity = state.settings.TrgtSrchNum + 1;
    try {
        state.markerPos.assign(static_cast<size_t>(capacity), PixelPoint{});
    } catch (const std::bad_alloc&) {
        return kAppNoFoundArrays;
    }
    return state.found.Allocate(capacity);
}

void LookUpColumns(AppState& state) {
    state.latColumn = 0;
    state.lonColumn = 1;
    state.nameColumn = FindColumnByCaption(state.columns, state.settings.KwdFavName);
    state.telColumn = FindColumnByCaption(state.columns, state.settings.KwdTelNo);
}

}  // namespace zentorak
