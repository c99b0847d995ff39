#include "core/app/radar_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zentorak {
namespace {

// Ellipsoid constants (a = 6378137 m, b = 6356752.31452 m) as the radar has always used them.
constexpr double kA2 = 40680631590769.0;
constexpr double kB2 = 40408299988155.375;
constexpr double kAB = 40544237137075.65;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

int Truncate(double v) {
    return static_cast<int>(std::trunc(v));
}

}  // namespace

int RadarAreaWidth(const ScreenSize& screen, const Dpi& dpi) {
    return screen.Portrait() ? screen.width : dpi.ScaleX(kHandsetWidth);
}

int RadarAreaHeight(const Dpi& dpi) {
    return dpi.ScaleY(186);
}

PixelPoint ViewCentre(const ScreenSize& screen, const Dpi& dpi) {
    return {RadarAreaWidth(screen, dpi) / 2, RadarAreaHeight(dpi) / 2};
}

bool InZoomStrip(int x, const ScreenSize& screen, const Dpi& dpi) {
    return x >= RadarAreaWidth(screen, dpi) - dpi.ScaleX(14);
}

PixelRect PaneRect(const ScreenSize& screen, const Dpi& dpi) {
    int bars = 2 * dpi.ScaleY(kBarHeight);
    if (screen.Portrait()) {
        int top = RadarAreaHeight(dpi);
        return {0, top, dpi.ScaleX(kHandsetWidth), screen.height - bars - top};
    }
    int left = dpi.ScaleX(kHandsetWidth);
    return {left, 0, screen.width - left, screen.height - bars};
}

PixelPoint PositionToPoint(const RadarView& view, const DmsAngle& lat, const DmsAngle& lon) {
    double dLon = DmsToDegrees(lon) - DmsToDegrees(view.originLon);
    double dLat = DmsToDegrees(lat) - DmsToDegrees(view.originLat);
    return {Truncate(view.originX + dLon * view.scale), Truncate(view.originY - dLat * view.scale)};
}

void PointToPosition(const RadarView& view, PixelPoint p, DmsAngle& lat, DmsAngle& lon) {
    double scale = view.scale;
    lon = DegreesToDms(DmsToDegrees(view.originLon) + (p.x - view.originX) / scale);
    lat = DegreesToDms(DmsToDegrees(view.originLat) - (p.y - view.originY) / scale);
}

GridStep ComputeGridStep(double latitudeDegrees, int scale, const Dpi& dpi) {
    double phi = latitudeDegrees * kDegToRad;
    double c = std::cos(phi), s = std::sin(phi);
    double r = kAB / std::sqrt(kB2 * c * c + kA2 * s * s);
    double m = static_cast<double>(dpi.ScaleX(100)) / scale * r * kDegToRad;
    int step = Truncate(std::pow(10.0, Truncate(std::log10(m))));
    int u = step > 0 ? Truncate(m / step) : 0;
    if (u > 5) {
        step *= 2;
    } else if (u < 2) {
        step /= 2;
    }
    // Zoomed in all the way the rule gives 0 m and no grid at all; a 1 m step keeps the
    // grid (about 77 pixels apart at the largest scale) and the label meaningful.
    if (step < 1) {
        step = 1;
    }
    return {step, Truncate(step / r * scale * kRadToDeg)};
}

std::string GridStepLabel(int metres) {
    char text[32];
    if (metres < 1000) {
        std::snprintf(text, sizeof text, "%dm", metres);
    } else if (metres < 1000000) {
        std::snprintf(text, sizeof text, "%dkm", metres / 1000);
    } else {
        std::snprintf(text, sizeof text, "%dMm", metres / 1000000);
    }
    return text;
}

PixelPoint MarkerPosition(const RadarView& view, const DmsAngle& lat, const DmsAngle& lon,
                          const Dpi& dpi) {
    double dLon = DmsToDegrees(lon) - DmsToDegrees(view.originLon);
    double dLat = DmsToDegrees(lat) - DmsToDegrees(view.originLat);
    return {view.originX + Truncate(dLon * view.scale) - dpi.ScaleX(5),
            view.originY - dpi.ScaleY(5) - Truncate(dLat * view.scale)};
}

int HitTest(const std::vector<PixelPoint>& markers, int count, PixelPoint p, const Dpi& dpi) {
    int n = std::min(count, static_cast<int>(markers.size()));
    for (int k = 0; k < n; ++k) {
        const PixelPoint& m = markers[static_cast<size_t>(k)];
        if (m.x <= p.x && p.x <= m.x + dpi.ScaleX(14) && m.y <= p.y &&
            p.y <= m.y + dpi.ScaleY(14)) {
            return k;
        }
    }
    return -1;
}

void ApplyZoomStep(RadarView& view, int dy, PixelPoint centre, const Dpi& dpi) {
    double f = static_cast<double>(dy) / -dpi.ScaleY(20);
    double product = view.scale * (1.0 + f);
    if (product < kMinScale) {
        view.scale = kMinScale;
    } else if (product > kMaxScale) {
        view.scale = kMaxScale;
    } else {
        view.scale = Truncate(product);
    }
    view.originX += Truncate((view.originX - centre.x) * f);
    view.originY += Truncate((view.originY - centre.y) * f);
}

PixelPoint SnapToGrid(PixelPoint origin, PixelPoint centre, int gridSpacing) {
    if (gridSpacing <= 0) {
        return origin;
    }
    return {centre.x + (origin.x - centre.x) % gridSpacing,
            centre.y + (origin.y - centre.y) % gridSpacing};
}

}  // namespace zentorak
