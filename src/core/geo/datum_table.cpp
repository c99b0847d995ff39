#include "core/geo/datum_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/geo/datum.h"

namespace zentorak {

namespace {

// Nodes every half degree, one beyond each edge of the area for the cubic: 55 x 55 exact
// conversions, a few milliseconds once.
constexpr double kStep = 0.5;
constexpr int kCells = static_cast<int>((kAreaLatMax - kAreaLatMin) / kStep);  // per side
constexpr int kNodes = kCells + 3;
static_assert(kAreaLatMax - kAreaLatMin == kAreaLonMax - kAreaLonMin);

// The largest difference between the interpolated and the exact conversion, measured over ten
// million points of the area, is 4e-11 degrees (in longitude); the bound allows ten times that.
// A millisecond of arc is 2.8e-7 degrees, so about one point in 170 needs the exact conversion.
constexpr double kTableError = 4e-10;

// Tokyo minus WGS 84 in degrees at one node, latitude and longitude side by side so that both
// are interpolated together.
struct Shift {
    double lat, lon;
};

// The nodes [row * kNodes + column], row 0 half a degree south of the area and column 0 half a
// degree west of it.
using ShiftTable = std::vector<Shift>;

ShiftTable BuildTable() {
    ShiftTable table(kNodes * kNodes);
    for (int row = 0; row < kNodes; ++row) {
        for (int column = 0; column < kNodes; ++column) {
            const double lat = kAreaLatMin + (row - 1) * kStep;
            const double lon = kAreaLonMin + (column - 1) * kStep;
            double tokyoLat, tokyoLon;
            Wgs84ToTokyo(lat, lon, tokyoLat, tokyoLon);
            table[row * kNodes + column] = {tokyoLat - lat, tokyoLon - lon};
        }
    }
    return table;
}

const ShiftTable& Table() {
    static const ShiftTable table = BuildTable();
    return table;
}

// The cell (0..kCells-1) that holds x, whose nodes are first + 1 and first + 2, and the cubic
// Lagrange weights of the nodes first..first+3 at x. Multiplications only: divisions would cost
// more than the rest of the interpolation.
void Weights(double x, double origin, int& first, double w[4]) {
    constexpr double kPerStep = 1 / kStep, kSixth = 1.0 / 6;
    const double u = (x - origin) * kPerStep;
    first = std::clamp(static_cast<int>(u), 0, kCells - 1);
    const double t = u - first;
    const double a = t + 1, b = t - 1, c = t - 2;
    w[0] = -t * b * c * kSixth;
    w[1] = a * b * c * 0.5;
    w[2] = -a * t * c * 0.5;
    w[3] = a * t * b * kSixth;
}

// DegreesToDms truncates x times 3,600,000 (milliseconds of arc) field by field. For x inside
// the area its roundings, and the one of the product below, move the product by less than
// 1e-7; so when the product's fraction keeps kTableError (in milliseconds) and that slack from
// both whole numbers, every value within kTableError of x has the angle that the whole
// milliseconds of the product spell.
constexpr double kMsecPerDegree = 3600000.0;
constexpr double kMargin = kTableError * kMsecPerDegree + 1e-6;

// The DMS angle of x when every value within kTableError of it gives the same one.
bool SureDms(double x, DmsAngle& out) {
    const double msec = x * kMsecPerDegree;
    const int64_t whole = static_cast<int64_t>(msec);
    const double fraction = msec - static_cast<double>(whole);
    if (fraction < kMargin || fraction > 1 - kMargin) {
        return false;
    }
    out = {static_cast<int32_t>(whole / 3600000), static_cast<int32_t>(whole / 60000 % 60),
           static_cast<int32_t>(whole / 1000 % 60), static_cast<int32_t>(whole % 1000)};
    return true;
}

// The weighted sum of four shifts, added pairwise so that the additions do not wait on each
// other one by one.
Shift Combine(const double w[4], const Shift& a, const Shift& b, const Shift& c, const Shift& d) {
    return {(w[0] * a.lat + w[1] * b.lat) + (w[2] * c.lat + w[3] * d.lat),
            (w[0] * a.lon + w[1] * b.lon) + (w[2] * c.lon + w[3] * d.lon)};
}

}  // namespace

void Wgs84ToTokyoDms(double lat, double lon, DmsAngle& tokyoLat, DmsAngle& tokyoLon) {
    if (lat >= kAreaLatMin && lat <= kAreaLatMax && lon >= kAreaLonMin && lon <= kAreaLonMax) {
        const ShiftTable& table = Table();
        int row, column;
        double wLat[4], wLon[4];
        Weights(lat, kAreaLatMin, row, wLat);
        Weights(lon, kAreaLonMin, column, wLon);
        const Shift* n = &table[static_cast<size_t>(row) * kNodes + column];
        auto across = [&](int i) {
            const Shift* r = n + i * kNodes;
            return Combine(wLon, r[0], r[1], r[2], r[3]);
        };
        const Shift shift = Combine(wLat, across(0), across(1), across(2), across(3));
        if (SureDms(lat + shift.lat, tokyoLat) && SureDms(lon + shift.lon, tokyoLon)) {
            return;
        }
    }
    double exactLat, exactLon;
    Wgs84ToTokyo(lat, lon, exactLat, exactLon);
    tokyoLat = DegreesToDms(exactLat);
    tokyoLon = DegreesToDms(exactLon);
}

}  // namespace zentorak
