// The five web map services: their labels, scale tables, default scale indexes and the map URL
// of a point. Only builds text; the confirmation dialog and the hand-over to the browser live
// in the UI.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

struct MapScale {
    std::u16string_view label;   // shown in the dialog
    std::string_view parameter;  // appended to the query
};

struct MapService {
    int id;  // MapServiceId, the setting MapSiteNo
    std::u16string_view label;
    std::string_view host;
    std::string_view path;
    std::span<const MapScale> scales;  // MapScaleIx counts from 1 in here
    int defaultScaleIx;
};

inline constexpr int kMapServiceCount = 5;
inline constexpr int kDefaultMapServiceId = 5;

// Services 1..5 in id order.
std::span<const MapService> MapServices();
// Null for an id outside 1..5.
const MapService* FindMapService(int id);

// "http://" + host + path + "?" + query for the point (Tokyo datum angles). An id outside 1..5
// falls back to the default service, and a scale index outside its service's table to that
// service's default index, as the confirmation dialog does: a map is always shown.
std::string MapUrl(int serviceId, int scaleIx, const DmsAngle& lat, const DmsAngle& lon,
                   bool googleCorrection);

}  // namespace zentorak
