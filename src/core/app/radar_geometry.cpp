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

MainLayout LayoutFor(const ScreenSize& screen, const Dpi& dpi, int paneFiveRowsHeight) {
    const int content = std::max(0, screen.height - 2 * dpi.ScaleY(kBarHeight));
    const int radarHeight = dpi.ScaleY(kRadarHeight);
    const int radarWidth = dpi.ScaleX(kHandsetWidth);
    MainLayout layout;
    if (screen.Portrait()) {
        const int handsetContent = dpi.ScaleY(kHandsetHeight) - 2 * dpi.ScaleY(kBarHeight);
        layout.areaWidth = screen.width;
        layout.areaHeight = std::min(radarHeight, content);
        if (content > handsetContent) {
            const int extra = content - handsetContent;
            const int toPane =
                std::clamp(paneFiveRowsHeight - (handsetContent - radarHeight), 0, extra);
            layout.areaHeight = radarHeight + (extra - toPane) * 2 / 3;
        }
        layout.radar = {0, 0, layout.areaWidth, layout.areaHeight};
        layout.pane = {0, layout.areaHeight, screen.width, content - layout.areaHeight};
        return layout;
    }
    // The handset turned: 320 units wide, its content as high as the portrait screen is wide.
    const int handsetContent = dpi.ScaleY(kHandsetWidth) - 2 * dpi.ScaleY(kBarHeight);
    const int handsetWidth = dpi.ScaleX(kHandsetHeight);
    const int handsetPane = handsetWidth - radarWidth;
    layout.areaHeight = content <= handsetContent ? std::min(radarHeight, content)
                                                  : content - (handsetContent - radarHeight);
    int paneWidth = std::max(screen.width - radarWidth, std::min(handsetPane, screen.width / 3));
    if (screen.width > handsetWidth) {
        paneWidth = handsetPane + (screen.width - handsetWidth) / 2;
    }
    layout.areaWidth = screen.width - paneWidth;
    layout.radar = {0, 0, layout.areaWidth, content};
    layout.pane = {layout.areaWidth, 0, paneWidth, content};
    return layout;
}

PixelPoint ViewCentre(const MainLayout& layout) {
    return {layout.areaWidth / 2, layout.areaHeight / 2};
}

int ZoomStripLeft(const MainLayout& layout, const Dpi& dpi) {
    return layout.areaWidth - dpi.ScaleX(kZoomStripWidth);
}

bool InZoomStrip(int x, const MainLayout& layout, const Dpi& dpi) {
    return x >= ZoomStripLeft(layout, dpi);
}

int ZoomKeyAt(int y, const MainLayout& layout) {
    return y < layout.areaHeight / 2 ? 1 : -1;
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
    return kAppNoMarker;
}

void ApplyZoomFactor(RadarView& view, double factor, PixelPoint centre) {
    double f = factor - 1.0;
    double product = view.scale * factor;
    int scale = Truncate(std::clamp(product, double{kMinScale}, double{kMaxScale}));
    if (product < kMinScale || product > kMaxScale) {
        f = static_cast<double>(scale) / view.scale - 1.0;
    }
    view.scale = scale;
    view.originX += Truncate((view.originX - centre.x) * f);
    view.originY += Truncate((view.originY - centre.y) * f);
}

void ApplyZoomStep(RadarView& view, int dy, PixelPoint centre, const Dpi& dpi) {
    ApplyZoomFactor(view, std::exp2(static_cast<double>(dy) / -dpi.ScaleY(20)), centre);
}

void LabelPositionAt(const RadarView& view, PixelPoint p, DmsAngle& lat, DmsAngle& lon) {
    double scale = view.scale;
    lon = p.x == view.originX
              ? view.originLon
              : DegreesToDmsRounded(DmsToDegrees(view.originLon) + (p.x - view.originX) / scale);
    lat = p.y == view.originY
              ? view.originLat
              : DegreesToDmsRounded(DmsToDegrees(view.originLat) - (p.y - view.originY) / scale);
}

RadarLabelPlaces PlaceRadarLabels(const MainLayout& layout, const Dpi& dpi,
                                  const RadarTextWidths& widths) {
    const int gap = dpi.ScaleX(1);
    const int stripLeft = ZoomStripLeft(layout, dpi);
    const int bottom = layout.areaHeight - std::max(dpi.ScaleY(12), widths.lineHeight);
    RadarLabelPlaces places;
    places.originLatX =
        std::min(layout.areaWidth - dpi.ScaleX(47), stripLeft - widths.originLat - gap);
    places.step = {std::min(layout.areaWidth - dpi.ScaleX(50), stripLeft - widths.step - gap),
                   bottom};
    // Two green cells side by side read as one text ("139/46/135km"): keep white between them.
    const int apart = dpi.ScaleX(4);
    places.centreLon = {layout.areaWidth / 2 - dpi.ScaleX(30), bottom};
    if (places.centreLon.x + widths.centreLon + apart > places.step.x) {
        places.centreLon.x = std::max(0, places.step.x - apart - widths.centreLon);
        if (places.centreLon.x + widths.centreLon + apart > places.step.x) {
            places.step.y -= widths.lineHeight;
        }
    }
    return places;
}

PixelPoint SnapToGrid(PixelPoint origin, PixelPoint centre, int gridSpacing) {
    if (gridSpacing <= 0) {
        return origin;
    }
    return {centre.x + (origin.x - centre.x) % gridSpacing,
            centre.y + (origin.y - centre.y) % gridSpacing};
}

}  // namespace zentorak
