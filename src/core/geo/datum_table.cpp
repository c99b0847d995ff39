#include "core/geo/datum_table.h"

#include <algorithm>
#include <cmath>
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

struct ShiftTable {
    // Tokyo minus WGS 84 in degrees at node [row * kNodes + column], row 0 half a degree south
    // of the area and column 0 half a degree west of it.
    std::vector<double> lat, lon;
};

ShiftTable BuildTable() {
    ShiftTable table;
    table.lat.resize(kNodes * kNodes);
    table.lon.resize(kNodes * kNodes);
    for (int row = 0; row < kNodes; ++row) {
        for (int column = 0; column < kNodes; ++column) {
            const double lat = kAreaLatMin + (row - 1) * kStep;
            const double lon = kAreaLonMin + (column - 1) * kStep;
            double tokyoLat, tokyoLon;
            Wgs84ToTokyo(lat, lon, tokyoLat, tokyoLon);
            table.lat[row * kNodes + column] = tokyoLat - lat;
            table.lon[row * kNodes + column] = tokyoLon - lon;
        }
    }
    return table;
}

const ShiftTable& Table() {
    static const ShiftTable table = BuildTable();
    return table;
}

// The cell (0..kCells-1) that holds x, whose nodes are first + 1 and first + 2, and the cubic
// Lagrange weights of the nodes first..first+3 at x.
void Weights(double x, double origin, int& first, double w[4]) {
    const double u = (x - origin) / kStep;
    first = std::clamp(static_cast<int>(u), 0, kCells - 1);
    const double t = u - first;
    w[0] = -t * (t - 1) * (t - 2) / 6;
    w[1] = (t + 1) * (t - 1) * (t - 2) / 2;
    w[2] = -(t + 1) * t * (t - 2) / 2;
    w[3] = (t + 1) * t * (t - 1) / 6;
}

// The DMS angle of x when every value within kTableError of it gives the same one. DegreesToDms
// never decreases as x grows, so the two ends deciding alike decide everything between them.
bool SureDms(double x, DmsAngle& out) {
    out = DegreesToDms(x - kTableError);
    return out == DegreesToDms(x + kTableError);
}

}  // namespace

void Wgs84ToTokyoDms(double lat, double lon, DmsAngle& tokyoLat, DmsAngle& tokyoLon) {
    if (lat >= kAreaLatMin && lat <= kAreaLatMax && lon >= kAreaLonMin && lon <= kAreaLonMax) {
        const ShiftTable& table = Table();
        int row, column;
        double wLat[4], wLon[4];
        Weights(lat, kAreaLatMin, row, wLat);
        Weights(lon, kAreaLonMin, column, wLon);
        double dLat = 0, dLon = 0;
        for (int i = 0; i < 4; ++i) {
            const size_t base = static_cast<size_t>(row + i) * kNodes + column;
            double rowLat = 0, rowLon = 0;
            for (int j = 0; j < 4; ++j) {
                rowLat += wLon[j] * table.lat[base + j];
                rowLon += wLon[j] * table.lon[base + j];
            }
            dLat += wLat[i] * rowLat;
            dLon += wLat[i] * rowLon;
        }
        if (SureDms(lat + dLat, tokyoLat) && SureDms(lon + dLon, tokyoLon)) {
            return;
        }
    }
    double exactLat, exactLon;
    Wgs84ToTokyo(lat, lon, exactLat, exactLon);
    tokyoLat = DegreesToDms(exactLat);
    tokyoLon = DegreesToDms(exactLon);
}

}  // namespace zentorak
