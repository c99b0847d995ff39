// Angles in degrees/minutes/seconds/milliseconds of arc, their one text form, conversions to and
// from decimal degrees, the 0.1-degree grid cell of a point, the sorting distance and the Tokyo to
// WGS 84 shift used for one map service. Latitude always comes before longitude.
// Does not range-check angles: only GridCellOf limits positions to the service area.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentorak {

struct DmsAngle {
    int32_t deg = 0;
    int32_t min = 0;
    int32_t sec = 0;
    int32_t msec = 0;

    friend bool operator==(const DmsAngle&, const DmsAngle&) = default;
};

// The service area and its grid of 0.1-degree cells.
inline constexpr double kAreaLatMin = 20.0;
inline constexpr double kAreaLatMax = 46.0;
inline constexpr double kAreaLonMin = 122.0;
inline constexpr double kAreaLonMax = 148.0;
inline constexpr int kGridRows = 260;
inline constexpr int kGridColumns = 260;
inline constexpr int kGridCells = kGridRows * kGridColumns;

// Parses "deg/min/sec.msec"; trailing parts are optional. Returns 0, -120..-127 naming the state
// in which a bad character was met, or 1 for an empty text.
int ParseDms(std::u16string_view text, DmsAngle& out);

// "%d/%02d/%02d.%03d"
std::u16string FormatDms(const DmsAngle& angle);
// "%d/%02d/%02d" (no milliseconds), as the radar and the favourite-name dialog show it.
std::u16string FormatDmsShort(const DmsAngle& angle);

// Inline: the index converts every record's angles.
inline double DmsToDegrees(const DmsAngle& a) {
    constexpr double kMilli = 0.001;
    constexpr double kSixtieth = 1.0 / 60.0;
    return ((a.msec * kMilli + a.sec) * kSixtieth + a.min) * kSixtieth + a.deg;
}

// An angle as a whole number of milliseconds of arc: a quarter of the size of DmsAngle, which is
// what a target keeps (a million targets are 24 MB smaller and the index moves less).
// Converting back gives the fields carried into their ranges: 35/75/00 becomes 36/15/00.000.
// Angles beyond about 596 degrees either way saturate; a target's lie inside the service area.
class ArcAngle {
public:
    ArcAngle() = default;
    ArcAngle(const DmsAngle& a) {  // NOLINT: an angle converts both ways
        const int64_t ms = ((int64_t{a.deg} * 60 + a.min) * 60 + a.sec) * 1000 + a.msec;
        ms_ = static_cast<int32_t>(ms > INT32_MAX ? INT32_MAX : (ms < INT32_MIN ? INT32_MIN : ms));
    }
    operator DmsAngle() const {  // NOLINT
        DmsAngle a;
        a.deg = ms_ / 3600000;
        int32_t rest = ms_ - a.deg * 3600000;
        a.min = rest / 60000;
        rest -= a.min * 60000;
        a.sec = rest / 1000;
        a.msec = rest - a.sec * 1000;
        return a;
    }

    static ArcAngle FromMilliseconds(int32_t ms) {
        ArcAngle a;
        a.ms_ = ms;
        return a;
    }
    int32_t Milliseconds() const { return ms_; }

    friend bool operator==(ArcAngle, ArcAngle) = default;
    // The same position: the fields are carried first.
    friend bool operator==(ArcAngle a, const DmsAngle& b) { return a == ArcAngle(b); }

private:
    int32_t ms_ = 0;
};

// The same degrees, to the bit, as the angle's fields give.
inline double DmsToDegrees(ArcAngle a) {
    return DmsToDegrees(static_cast<DmsAngle>(a));
}

namespace detail {

// Truncation toward zero that stays defined for any double.
inline int32_t Trunc32(double x) {
    if (!(x > INT32_MIN - 1.0)) {  // Also catches NaN.
        return x != x ? 0 : INT32_MIN;
    }
    if (x >= INT32_MAX + 1.0) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(x);
}

}  // namespace detail

// Each field truncated toward zero in turn (degrees, minutes, seconds, milliseconds). Inline: the
// reader of decimal-degree cells calls it four times a point.
inline DmsAngle DegreesToDms(double x) {
    DmsAngle a;
    a.deg = detail::Trunc32(x);
    double m = (x - a.deg) * 60;
    a.min = detail::Trunc32(m);
    double s = (m - a.min) * 60;
    a.sec = detail::Trunc32(s);
    a.msec = detail::Trunc32((s - a.sec) * 1000);
    return a;
}
// The same, rounded to the nearest millisecond instead of truncated: for showing a position that
// went through degrees, where truncation can turn 02.000 into 01.999.
DmsAngle DegreesToDmsRounded(double degrees);

// GridCellOf's answers for a point outside the service area.
inline constexpr int kGeoLatitudeOutside = -101;
inline constexpr int kGeoLongitudeOutside = -102;

// Row and column of the 0.1-degree cell; 0, kGeoLatitudeOutside or kGeoLongitudeOutside (checked
// in that order). A point exactly on 46 N or 148 E passes and yields 260, which lies outside the
// grid.
inline int GridCellOf(const DmsAngle& latAngle, const DmsAngle& lonAngle, int& row, int& column) {
    double lat = DmsToDegrees(latAngle);
    double lon = DmsToDegrees(lonAngle);
    if (!(lat >= kAreaLatMin && lat <= kAreaLatMax)) {
        return kGeoLatitudeOutside;
    }
    if (!(lon >= kAreaLonMin && lon <= kAreaLonMax)) {
        return kGeoLongitudeOutside;
    }
    row = static_cast<int>((lat - kAreaLatMin) * 10);
    column = static_cast<int>((lon - kAreaLonMin) * 10);
    return 0;
}

// The service area's edges and a grid step in milliseconds of arc.
inline constexpr int32_t kArcPerDegree = 3600000;
inline constexpr int32_t kArcPerCell = kArcPerDegree / 10;
inline constexpr int32_t kAreaLatMinArc = 20 * kArcPerDegree;
inline constexpr int32_t kAreaLatMaxArc = 46 * kArcPerDegree;
inline constexpr int32_t kAreaLonMinArc = 122 * kArcPerDegree;
inline constexpr int32_t kAreaLonMaxArc = 148 * kArcPerDegree;

namespace detail {

// (degrees(ms) - degrees(edge)) * parts truncated, for ms at or after edge, in integers. Away
// from a part's edge the degrees' rounding (under 1e-12) cannot cross one: a whole millisecond
// lies at least 1/360000 of a part from it. On an edge the degrees may round just below it, so
// there `degrees` answers. Nothing here is negative, so the division is unsigned, which takes
// fewer instructions (the loader and the index ask this for every target).
template <typename Degrees>
inline int PartsFrom(int32_t ms, int32_t edge, int32_t partsPerCell, Degrees degrees) {
    const uint64_t scaled =
        uint64_t{static_cast<uint32_t>(ms - edge)} * static_cast<uint32_t>(partsPerCell);
    const uint64_t part = scaled / kArcPerCell;
    return part * kArcPerCell == scaled ? degrees() : static_cast<int>(part);
}

}  // namespace detail

// GridCellOf for whole milliseconds of arc, in integers, with the same answers.
inline int GridCellOf(ArcAngle latAngle, ArcAngle lonAngle, int& row, int& column) {
    const int32_t lat = latAngle.Milliseconds(), lon = lonAngle.Milliseconds();
    if (!(lat >= kAreaLatMinArc && lat <= kAreaLatMaxArc)) {
        return kGeoLatitudeOutside;
    }
    if (!(lon >= kAreaLonMinArc && lon <= kAreaLonMaxArc)) {
        return kGeoLongitudeOutside;
    }
    row = detail::PartsFrom(lat, kAreaLatMinArc, 1, [&] {
        return static_cast<int>((DmsToDegrees(latAngle) - kAreaLatMin) * 10);
    });
    column = detail::PartsFrom(lon, kAreaLonMinArc, 1, [&] {
        return static_cast<int>((DmsToDegrees(lonAngle) - kAreaLonMin) * 10);
    });
    return 0;
}

// Plain distance in degrees, longitude not scaled by the latitude: for ordering only.
double SortingDistance(double refLat, double refLon, double lat, double lon);

// Tokyo datum to WGS 84, as one map service needs it (decimal degrees).
void GoogleCorrection(double lat, double lon, double& correctedLat, double& correctedLon);

}  // namespace zentorak
