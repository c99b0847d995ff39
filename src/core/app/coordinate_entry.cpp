#include "core/app/coordinate_entry.h"

#include <cstdio>

namespace zentorak {
namespace {

std::vector<std::u16string> Numbers(int first, int count, const char* format) {
    std::vector<std::u16string> texts;
    texts.reserve(static_cast<size_t>(count));
    for (int n = first; n < first + count; ++n) {
        char text[8];
        std::snprintf(text, sizeof text, format, n);
        texts.emplace_back(text, text + std::char_traits<char>::length(text));
    }
    return texts;
}

int EntryOr(int value, int first, int count, int fallback) {
    int entry = value - first;
    return entry >= 0 && entry < count ? entry : fallback;
}

}  // namespace

std::vector<std::u16string> LatitudeDegreeTexts() {
    return Numbers(kFirstLatitudeDegree, kDegreeEntries, "%02d");
}

std::vector<std::u16string> LongitudeDegreeTexts() {
    return Numbers(kFirstLongitudeDegree, kDegreeEntries, "%03d");
}

std::vector<std::u16string> MinuteSecondTexts() {
    return Numbers(0, kMinuteEntries, "%02d");
}

std::u16string CoordinateLabel(std::u16string_view caption) {
    return std::u16string(caption) + u":";
}

CoordinateEntries PreselectCoordinates(const DmsAngle& lat, const DmsAngle& lon,
                                       int srchAfterJump) {
    CoordinateEntries e;
    e.latDeg = EntryOr(lat.deg, kFirstLatitudeDegree, kDegreeEntries, kFallbackDegreeEntry);
    e.latMin = EntryOr(lat.min, 0, kMinuteEntries, 0);
    e.latSec = EntryOr(lat.sec, 0, kMinuteEntries, 0);
    e.lonDeg = EntryOr(lon.deg, kFirstLongitudeDegree, kDegreeEntries, kFallbackDegreeEntry);
    e.lonMin = EntryOr(lon.min, 0, kMinuteEntries, 0);
    e.lonSec = EntryOr(lon.sec, 0, kMinuteEntries, 0);
    e.searchAfterMove = srchAfterJump != 2;
    return e;
}

void ApplyCoordinateEntries(const CoordinateEntries& entries, DmsAngle& lat, DmsAngle& lon,
                            int& srchAfterJump) {
    lat = {entries.latDeg + kFirstLatitudeDegree, entries.latMin, entries.latSec, 0};
    lon = {entries.lonDeg + kFirstLongitudeDegree, entries.lonMin, entries.lonSec, 0};
    srchAfterJump = entries.searchAfterMove ? 1 : 2;
}

}  // namespace zentorak
