// One place-list reader (chosen by PLACE_FORMAT: 1 GPX, 2 KML, 3 KMZ, 4 GeoJSON) on any bytes,
// then the places filed and searched: every place's items split into no more fields than the
// list has captions and hold no line break, every place inside the area becomes a target, and
// every item of every target decodes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/locinfo/coordinate_bytes.h"
#include "core/locinfo/location_loader.h"
#include "core/locinfo/place_list.h"
#include "core/targets/search.h"
#include "core/targets/target_store.h"
#include "core/text/csv_split.h"

namespace {

using namespace zentorak;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

int Read(std::string& bytes, PlaceListBuilder& places) {
    switch (PLACE_FORMAT) {
        case 1:
            return ReadGpxPlaces(bytes, places);
        case 2:
            return ReadKmlPlaces(bytes, places);
        case 3:
            return ReadKmzPlaces(bytes, places);
        default:
            return ReadGeoJsonPlaces(bytes, places);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PlaceList list;
    PlaceListBuilder places(list, {});
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const int result = Read(bytes, places);
    Check(result == 0 || result == kLoadCannotOpen || result == kLoadNoMemory);
    Check(!list.captions.empty() && list.captions[0] == "店名");
    size_t inside = 0;
    std::string arena;
    for (const PlaceList::Place& place : list.places) {
        const std::string_view items = list.Items(place);
        Check(items.find_first_of("\r\n") == std::string_view::npos);
        size_t fields = 0;
        SplitQuotedFields<char>(items, ',', '"', arena, [&](std::string_view) { ++fields; });
        Check(fields <= list.captions.size());
        DmsAngle lat, lon;
        inside += WgsDegreesToTokyo(place.lat, place.lon, lat, lon) == PointForm::kDecimal;
    }
    TargetGrid grid;
    ColumnMap columns;
    Check(AddPlaceList(grid, columns, list) == 0);
    IndexTargetGrid(grid);
    Check(grid.size() == inside);
    for (uint32_t n = 0; n < grid.size(); ++n) {
        for (int k = 0; k < kInfoItems; ++k) {
            grid.store().Loaded(n).Info(k);
        }
    }
    if (grid.size() > 0) {
        FoundTargets found;
        found.Allocate(4);
        const TargetRecord& first = grid.store().Loaded(0);
        SearchNearest(grid, first.lat, first.lon, 3, found);
        Check(found.count > 0);
    }
    return 0;
}
