#include "core/app/spoken_text.h"

#include <algorithm>
#include <cmath>

namespace zentorak {
namespace {

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

int GridMetres(const AppState& state) {
    return ComputeGridStep(DmsToDegrees(state.originLat), state.scale, state.dpi).metres;
}

}  // namespace

std::u16string CompassPoint(int east, int north) {
    static const char16_t* const kNames[] = {u"北", u"北東", u"東", u"南東",
                                             u"南", u"南西", u"西", u"北西"};
    if (east == 0 && north == 0) {
        return u"基点";
    }
    // Clockwise from north, in eighths of a turn rounded to the nearest.
    double turn = std::atan2(static_cast<double>(east), static_cast<double>(north));
    int sector = static_cast<int>(std::lround(turn / (M_PI / 4)));
    return kNames[(sector + 8) % 8];
}

std::u16string RadarSpeech(bool originValid, const RadarView& view, int gridMetres,
                           const std::vector<RadarPlace>& places) {
    if (!originValid) {
        return u"基点未設定。";
    }
    std::u16string text = u"目盛 " + Ascii(GridStepLabel(gridMetres)) + u"、基点 緯度 " +
                          FormatDmsShort(view.originLat) + u" 経度 " +
                          FormatDmsShort(view.originLon) + u"。";
    if (places.empty()) {
        return text + u"該当なし。";
    }
    for (size_t i = 0; i < places.size(); ++i) {
        const RadarPlace& place = places[i];
        // Where the marker is drawn (its box's corner is 5 units up and left of the place): the
        // picture's x grows to the east, its y to the south.
        const Dpi unit{96, 96};
        PixelPoint m = MarkerPosition(view, place.lat, place.lon, unit);
        const int east = m.x + unit.ScaleX(5) - view.originX;
        const int north = view.originY - unit.ScaleY(5) - m.y;
        text += Ascii(std::to_string(i + 1));
        if (!place.name.empty()) {
            text += u" " + place.name;
        }
        text += u" " + CompassPoint(east, north);
        text += i + 1 < places.size() ? u"、" : u"。";
    }
    return text;
}

std::u16string RadarSpeech(const AppState& state) {
    std::vector<RadarPlace> places;
    const int n = std::min(state.found.count, state.found.capacity());
    for (int k = 0; k < n; ++k) {
        const TargetRecord* t = state.found.targets[static_cast<size_t>(k)];
        RadarPlace place{{}, t->lat, t->lon};
        if (state.nameColumn >= 2) {
            place.name = t->Info(state.nameColumn - 2);
        }
        places.push_back(std::move(place));
    }
    return RadarSpeech(state.originValid == 1, state.View(), GridMetres(state), places);
}

std::u16string ResultRowSpeech(int rank, const std::vector<DetailsRow>& items) {
    std::u16string text = Ascii(std::to_string(rank));
    for (size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? u" " : u"、") + DetailsItemText(items[i]);
    }
    return text;
}

}  // namespace zentorak
