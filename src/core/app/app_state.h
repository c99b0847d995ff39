// The one record of the running program: settings, loaded targets, favourites, the origin and
// the radar view, the found targets and the pane state. Plain data on the core types, changed on
// the window's thread only: by the window, the start-up and teardown, the command logic of
// commands.h and the update cycle's host. Window and menu objects live in the window itself.
#pragma once

#include <vector>

#include "core/app/radar_geometry.h"
#include "core/favorites/favorite_list.h"
#include "core/locinfo/location_info.h"
#include "core/settings/settings_store.h"
#include "core/targets/search.h"
#include "core/text/exchange_log.h"
#include "core/text/layout_scale.h"

namespace zentorak {

inline constexpr int kPaneList = 1;
inline constexpr int kPaneLog = 2;

inline constexpr int kDragIdle = 0;
inline constexpr int kDragPending = 1;
inline constexpr int kDragZoom = 2;
inline constexpr int kDragPan = 3;

struct AppState {
    // The settings file the program reads at start-up and writes back (zentorak.ini).
    std::string settingsPath;
    Settings settings;
    LocationInfoFileList locationInfoFiles;
    FavoriteList favorites;
    TargetGrid grid;
    ColumnMap columns;
    std::vector<LocationInfoFileReport> loadReports;  // of the last load, in list order

    // The origin and where it is drawn.
    DmsAngle originLat;
    DmsAngle originLon;
    int originValid = 0;
    int originX = 0;
    int originY = 0;
    int scale = 1000;

    int dragState = kDragIdle;
    PixelPoint pressPoint;
    PixelPoint lastPoint;
    RadarView zoomDragStart;  // the view when a zoom drag began; lastPoint is then where it began
    int paneMode = kPaneLog;
    int portOpen = 0;
    int updateTimer = 0;

    FoundTargets found;                 // capacity TrgtSrchNum + 1; the text search may grow it
    std::vector<PixelPoint> markerPos;  // same capacity as found
    int selectedTarget = -1;
    std::vector<int> markedTargets;  // the found targets whose rows are selected in the list
    // The places were found around a position that a later update could not renew (a silent
    // W-SIM module); a search around a new origin clears it.
    bool foundAtPreviousPosition = false;
    int gridSpacing = 0;

    int latColumn = 0;
    int lonColumn = 1;
    int nameColumn = kSearchNoColumn;
    int telColumn = kSearchNoColumn;

    ExchangeLog log;  // the log pane's text
    Dpi dpi;
    MainLayout layout;  // the window's, kept current by it; the view centre lies in its radar area

    RadarView View() const { return {originLat, originLon, originX, originY, scale}; }
    void SetView(const RadarView& v) {
        originLat = v.originLat;
        originLon = v.originLon;
        originX = v.originX;
        originY = v.originY;
        scale = v.scale;
    }
};

// The defaults of a fresh start: settings, an empty file list, no origin, the default handset's
// layout with the origin drawn at the radar's centre, scale ScaleX(1000), the log pane.
// Favourites and targets are left alone.
void SetDefaults(AppState& state);

inline constexpr int kMaxTrgtSrchNum = 1000000;

// AllocateFoundArrays' failure, the found list's own.
inline constexpr int kAppNoFoundArrays = kSearchListNoMemory;

// Allocates the found-target arrays for TrgtSrchNum + 1 entries; 0 or kAppNoFoundArrays (also for
// a TrgtSrchNum outside 0..kMaxTrgtSrchNum).
int AllocateFoundArrays(AppState& state);

// Looks up the coordinate, name and telephone columns after the files were loaded.
void LookUpColumns(AppState& state);

// The settings' names for the latitude, longitude, name and telephone columns, for the
// location-info reader.
inline CoordinateKeywords CoordinateKeywordsOf(const AppState& state) {
    return {state.settings.KwdLat, state.settings.KwdLon, state.settings.KwdFavName,
            state.settings.KwdTelNo};
}

}  // namespace zentorak
