// The radar's arithmetic: screen point <-> geographic position, the metric grid step, marker
// placement and hit-testing, zoom and pan steps, and the pane rectangles of both orientations.
// Qt-free and stateless; the window keeps the state in AppState and does the drawing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/text/layout_scale.h"
#include "core/geo/dms.h"

namespace zentorak {

inline constexpr int kMinScale = 10;
inline constexpr int kMaxScale = 8589934;

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Where the origin sits on the screen and how many pixels a degree takes.
struct RadarView {
    DmsAngle originLat;
    DmsAngle originLon;
    int originX = 0;
    int originY = 0;
    int scale = 1000;
};

int RadarAreaWidth(const ScreenSize& screen, const Dpi& dpi);
int RadarAreaHeight(const Dpi& dpi);
PixelPoint ViewCentre(const ScreenSize& screen, const Dpi& dpi);
bool InZoomStrip(int x, const ScreenSize& screen, const Dpi& dpi);
// The rectangle the list and the log pane share.
PixelRect PaneRect(const ScreenSize& screen, const Dpi& dpi);

PixelPoint PositionToPoint(const RadarView& view, const DmsAngle& lat, const DmsAngle& lon);
void PointToPosition(const RadarView& view, PixelPoint p, DmsAngle& lat, DmsAngle& lon);

// The grid step in metres (1, 2 or 5 times a power of ten) and its spacing in pixels.
struct GridStep {
    int metres = 0;
    int spacing = 0;
};
GridStep ComputeGridStep(double latitudeDegrees, int scale, const Dpi& dpi);
// "%dm", "%dkm" or "%dMm".
std::string GridStepLabel(int metres);

// Top-left corner of a target's numbered label.
PixelPoint MarkerPosition(const RadarView& view, const DmsAngle& lat, const DmsAngle& lon,
                          const Dpi& dpi);
// The first of count markers (from 0 upward) whose label box holds the point, or -1.
int HitTest(const std::vector<PixelPoint>& markers, int count, PixelPoint p, const Dpi& dpi);

// One zoom step of a vertical pen movement dy in the zoom strip: scale and origin change
// around the view centre. 20 scaled pixels upward double the scale.
void ApplyZoomStep(RadarView& view, int dy, PixelPoint centre, const Dpi& dpi);

// After a pan in floating mode: the point within one grid spacing of the centre that keeps the
// picture where it is. A spacing of 0 (no grid painted yet) leaves the origin's point as it is.
PixelPoint SnapToGrid(PixelPoint origin, PixelPoint centre, int gridSpacing);

}  // namespace zentorak
