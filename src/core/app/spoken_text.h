// What a screen reader says for the radar and the result list. The radar: the grid step, the
// origin's coordinates and the found places in rank order, each with its name and the compass point
// (of eight) in which its marker is drawn from the origin. The window hands the text over as the
// radar's description; the step comes first so that a zoom, which changes the description, is heard
// by its new step at once.
#pragma once

#include <string>
#include <vector>

#include "core/app/app_state.h"
#include "core/app/details_rows.h"

namespace zentorak {

// "北", "北東", "東", "南東", "南", "南西", "西", "北西" for a step of east and north units (each
// a 45-degree sector centred on its direction); "基点" when both are 0.
std::u16string CompassPoint(int east, int north);

struct RadarPlace {
    std::u16string name;  // may be empty: the rank alone then names the place
    DmsAngle lat;
    DmsAngle lon;
};

// "目盛 5km、基点 緯度 35/40/41 経度 139/46/08。1 A 北東、2 B 南。" ("該当なし。" for no
// places); "基点未設定。" without an origin.
std::u16string RadarSpeech(bool originValid, const RadarView& view, int gridMetres,
                           const std::vector<RadarPlace>& places);
// The same for what the radar shows now.
std::u16string RadarSpeech(const AppState& state);

// A whole row of the result list: "3 店名:デモ文具、TEL:03-0000-0003" (rank, then each item
// as "caption:value").
std::u16string ResultRowSpeech(int rank, const std::vector<DetailsRow>& items);

}  // namespace zentorak
