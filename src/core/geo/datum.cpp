#include "core/geo/datum.h"

#include <cmath>
#include <numbers>

namespace zentorak {

namespace {

struct Ellipsoid {
    double a;   // semi-major axis, metres
    double e2;  // first eccentricity squared
};

constexpr Ellipsoid MakeEllipsoid(double a, double inverseFlattening) {
    const double f = 1 / inverseFlattening;
    return {a, f * (2 - f)};
}

constexpr Ellipsoid kWgs84 = MakeEllipsoid(6378137.0, 298.257223563);
constexpr Ellipsoid kBessel1841 = MakeEllipsoid(6377397.155, 299.1528128);

// The Tokyo datum's centre as seen from WGS 84's, in metres (EPSG's set for the whole of Japan).
constexpr double kTokyoToWgs84[3] = {-146.414, 507.337, 680.507};

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

struct Cartesian {
    double x, y, z;
};

Cartesian ToCartesian(double lat, double lon, const Ellipsoid& e) {
    const double phi = lat * kRadiansPerDegree;
    const double lambda = lon * kRadiansPerDegree;
    const double n = e.a / std::sqrt(1 - e.e2 * std::sin(phi) * std::sin(phi));
    return {n * std::cos(phi) * std::cos(lambda), n * std::cos(phi) * std::sin(lambda),
            n * (1 - e.e2) * std::sin(phi)};
}

// The latitude by fixed-point iteration; near the surface each step gains more than two
// digits, so ten steps reach the limit of a double.
void ToGeodetic(const Cartesian& c, const Ellipsoid& e, double& lat, double& lon) {
    const double p = std::hypot(c.x, c.y);
    double phi = std::atan2(c.z, p * (1 - e.e2));
    for (int i = 0; i < 10; ++i) {
        const double s = std::sin(phi);
        const double n = e.a / std::sqrt(1 - e.e2 * s * s);
        phi = std::atan2(c.z + e.e2 * n * s, p);
    }
    lat = phi / kRadiansPerDegree;
    lon = std::atan2(c.y, c.x) / kRadiansPerDegree;
}

void Translate(double lat, double lon, const Ellipsoid& from, const Ellipsoid& to, double sign,
               double& outLat, double& outLon) {
    Cartesian c = ToCartesian(lat, lon, from);
    c.x += sign * kTokyoToWgs84[0];
    c.y += sign * kTokyoToWgs84[1];
    c.z += sign * kTokyoToWgs84[2];
    ToGeodetic(c, to, outLat, outLon);
}

}  // namespace

void Wgs84ToTokyo(double lat, double lon, double& tokyoLat, double& tokyoLon) {
    Translate(lat, lon, kWgs84, kBessel1841, -1, tokyoLat, tokyoLon);
}

void TokyoToWgs84(double lat, double lon, double& wgs84Lat, double& wgs84Lon) {
    Translate(lat, lon, kBessel1841, kWgs84, +1, wgs84Lat, wgs84Lon);
}

}  // namespace zentorak
