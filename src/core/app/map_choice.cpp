#include "core/app/map_choice.h"

#include "core/map/map_urls.h"

namespace zentorak {

MapChoice StoredMapChoice(const Settings& settings) {
    const MapService* service = FindMapService(settings.MapSiteNo);
    if (service == nullptr) {
        service = FindMapService(1);
    }
    int scaleIx = settings.MapScaleIx;
    if (scaleIx < 1 || scaleIx > static_cast<int>(service->scales.size())) {
        scaleIx = service->defaultScaleIx;
    }
    return {service->id, scaleIx};
}

MapChoice OpeningMapChoice(Settings& settings) {
    MapChoice choice = StoredMapChoice(settings);
    settings.MapSiteNo = choice.service;
    return choice;
}

MapChoice SwitchMapService(const MapChoice& shown, int service) {
    const MapService* chosen = FindMapService(service);
    if (chosen == nullptr || service == shown.service) {
        return shown;
    }
    return {chosen->id, chosen->defaultScaleIx};
}

}  // namespace zentorak
