// The radar's arithmetic: the main window's layout on a handset screen of any size, screen point
// <-> geographic position, the metric grid step, marker and label placement, hit-testing, zoom
// and pan steps. Qt-free and stateless; the window keeps the state in AppState, measures the
// texts and does the drawing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/geo/dms.h"
#include "core/text/layout_scale.h"

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

// The radar area of the handset: ScaleX(240) x ScaleY(186); its zoom strip is ScaleX(14) wide.
inline constexpr int kRadarHeight = 186;
inline constexpr int kZoomStripWidth = 14;

// Where the main window's parts go. The radar area is what the picture, the view centre and the
// zoom marks are laid out in; the radar widget is that area and, in landscape, the zoom strip's
// run down to the soft-key bar below it.
struct MainLayout {
    int areaWidth = 0;
    int areaHeight = 0;
    PixelRect radar;
    PixelRect pane;  // the rectangle the list and the log pane share
    friend bool operator==(const MainLayout&, const MainLayout&) = default;
};

// The layout on `screen`. At the handset's own screens (240 x 320 and 320 x 240 units) it is
// the handset's: the radar area radarWidth x radarHeight, the pane below it (portrait) or beside
// it (landscape). A larger screen grows both: in portrait the pane first up to
// `paneFiveRowsHeight` (what it needs to show its header and five rows), then two thirds of the
// rest go to the radar; in landscape the radar and the pane share the extra width half and half
// and the radar takes the whole height. A smaller screen shrinks the radar rather than cutting
// off its bottom, and in landscape keeps at least a third of the width, up to the handset's 80
// units, for the pane.
MainLayout LayoutFor(const ScreenSize& screen, const Dpi& dpi, int paneFiveRowsHeight = 0);

PixelPoint ViewCentre(const MainLayout& layout);
// The left edge of the zoom strip, and whether x lies in the strip.
int ZoomStripLeft(const MainLayout& layout, const Dpi& dpi);
bool InZoomStrip(int x, const MainLayout& layout, const Dpi& dpi);
// Which key of the zoom strip a tap at y presses: +1 "+" (the upper half), -1 "--" (the lower
// half). The whole strip is the key, so that a finger finds it.
int ZoomKeyAt(int y, const MainLayout& layout);

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
inline constexpr int kAppNoMarker = -1;  // HitTest

// The first of count markers (from 0 upward) whose label box holds the point, or kAppNoMarker.
int HitTest(const std::vector<PixelPoint>& markers, int count, PixelPoint p, const Dpi& dpi);

// Zooms by `factor` around the view centre: the scale times the factor, truncated and held to
// kMinScale..kMaxScale, and the origin's distance from the centre times the factor. Where the
// scale meets a limit, the origin moves by the factor that was applied, so that the view
// centre keeps its place on the ground (a quick drag down must not throw the picture across).
void ApplyZoomFactor(RadarView& view, double factor, PixelPoint centre);
// The zoom of a vertical pen movement dy in the zoom strip: every 20 scaled pixels upward double
// the scale, every 20 downward halve it. The factor compounds, so a drag zooms by the same amount
// whether it arrives in one pointer move or in many; the window applies a drag's whole run to
// the view it started from, so that the truncated scale does not creep.
void ApplyZoomStep(RadarView& view, int dy, PixelPoint centre, const Dpi& dpi);
// The step of the zoom keys, the wheel and the + and - keys: the factor of a 20-unit drag
// upward in, its inverse out.
inline constexpr double kZoomInFactor = 2.0;
inline constexpr double kZoomOutFactor = 0.5;

// The position a view-centre label names for point p: on the origin's own row or column the
// origin's angle itself, elsewhere the conversion back rounded to the nearest millisecond (a
// truncating round trip through degrees can lose one, and the label then a second).
void LabelPositionAt(const RadarView& view, PixelPoint p, DmsAngle& lat, DmsAngle& lon);

// The measured widths of the radar's texts and the height of one line, in pixels.
struct RadarTextWidths {
    int originLat = 0;  // the fixed origin's latitude
    int centreLon = 0;  // the view centre's longitude
    int step = 0;       // the grid step
    int lineHeight = 0;
};
// Where the labels near the right and bottom edges go: where the handset puts them when they
// fit, otherwise moved left so that each ends before the zoom strip and the centre's longitude
// ends before the grid step (which goes one line up when even that does not fit), and lifted so
// that a whole line stays above the bottom edge.
struct RadarLabelPlaces {
    int originLatX = 0;  // its y is the origin's row less ScaleY(5)
    PixelPoint centreLon;
    PixelPoint step;
};
RadarLabelPlaces PlaceRadarLabels(const MainLayout& layout, const Dpi& dpi,
                                  const RadarTextWidths& widths);

// After a pan in floating mode: the point within one grid spacing of the centre that keeps the
// picture where it is. A spacing of 0 (no grid painted yet) leaves the origin's point as it is.
PixelPoint SnapToGrid(PixelPoint origin, PixelPoint centre, int gridSpacing);

}  // namespace zentorak
