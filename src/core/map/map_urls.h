// The web map services: the handsets' five and two that take WGS 84 (地理院地図, OpenStreetMap),
// their labels, scale tables, default scale indexes and the map URL of a point. Only builds
// text; the confirmation dialog and the hand-over to the browser live in the UI.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

struct MapScale {
    std::u16string_view label;   // shown in the dialog
    std::string_view parameter;  // a query parameter, or a tile map's zoom level
};

struct MapService {
    int id;  // MapServiceId, the setting MapSiteNo
    std::u16string_view label;
    std::string_view address;          // scheme, host and path; the point and scale follow
    std::span<const MapScale> scales;  // MapScaleIx counts from 1 in here
    int defaultScaleIx;
};

inline constexpr int kMapServiceCount = 7;
inline constexpr int kDefaultMapServiceId = 5;

// Services 1..7 in id order.
std::span<const MapService> MapServices();
// Null for an id outside 1..7.
const MapService* FindMapService(int id);

// The service's address followed by the point and scale as it takes them, for a point given in
// Tokyo datum angles: services 6 and 7 get it shifted to WGS 84 (TokyoToWgs84), the Google one
// its own correction when `googleCorrection` is set. An id outside 1..7 falls back to the
// default service, and a scale index outside its service's table to that service's default
// index, as the confirmation dialog does: a map is always shown.
std::string MapUrl(int serviceId, int scaleIx, const DmsAngle& lat, const DmsAngle& lon,
                   bool googleCorrection);

}  // namespace zentorak
