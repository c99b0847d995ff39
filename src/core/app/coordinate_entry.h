// The coordinate entry dialog without its window: the texts of its six lists (latitude degrees
// 20-45, longitude degrees 122-147, minutes and seconds 0-59), which entries a position
// preselects (values outside the lists fall back to 33 N / 135 E and 0), and the position and
// SrchAfterJump value the chosen entries give. Does not move the origin or search.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/geo/dms.h"

namespace zentorak {

inline constexpr int kFirstLatitudeDegree = 20;    // entry 0 of the latitude list
inline constexpr int kFirstLongitudeDegree = 122;  // entry 0 of the longitude list
inline constexpr int kDegreeEntries = 26;
inline constexpr int kMinuteEntries = 60;        // minutes and seconds alike
inline constexpr int kFallbackDegreeEntry = 13;  // 33 degrees north, 135 degrees east

// The chosen entry of each list, and the check box "座標指定後、続けて探索".
struct CoordinateEntries {
    int latDeg = kFallbackDegreeEntry;
    int latMin = 0;
    int latSec = 0;
    int lonDeg = kFallbackDegreeEntry;
    int lonMin = 0;
    int lonSec = 0;
    bool searchAfterMove = true;
    bool operator==(const CoordinateEntries&) const = default;
};

// "20".."45" ("%02d"), "122".."147" ("%03d"), "00".."59" ("%02d").
std::vector<std::u16string> LatitudeDegreeTexts();
std::vector<std::u16string> LongitudeDegreeTexts();
std::vector<std::u16string> MinuteSecondTexts();

// A column caption as the row label: "%s:".
std::u16string CoordinateLabel(std::u16string_view caption);

// The entries for a starting position (milliseconds are not shown). The box starts checked
// unless srchAfterJump is 2.
CoordinateEntries PreselectCoordinates(const DmsAngle& lat, const DmsAngle& lon, int srchAfterJump);

// The position of the entries, milliseconds 0, and SrchAfterJump: 1 checked, 2 not.
void ApplyCoordinateEntries(const CoordinateEntries& entries, DmsAngle& lat, DmsAngle& lon,
                            int& srchAfterJump);

}  // namespace zentorak
