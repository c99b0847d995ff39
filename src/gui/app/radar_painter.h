// One paint of the radar, in its fixed order: white field, cross-hair, then (with an origin) axes,
// grid, coordinate and grid-step labels, the target labels over them, the acquisition notice, and
// last the zoom strip with its keys, which nothing of the picture reaches into. Writes markerPos
// and gridSpacing; keeps nothing itself.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include "core/app/app_state.h"

class QPainter;

namespace zentorak {

class RadarPainter {
public:
    // width x height is the widget's; the radar area in it is the state's layout.
    RadarPainter(QPainter& painter, AppState& state, int width, int height);
    void Paint(bool acquiring);

private:
    void Picture(bool acquiring);
    void ZoomStrip();
    void Line(QColor colour, int x1, int y1, int x2, int y2);
    void Grid(bool fixed);
    void Targets();
    static QString MarkerText(int k);
    void Labels(bool fixed, const GridStep& step);
    // Text with its top-left corner at (x, y) on a filled cell; fill widens the cell to a rect.
    void Text(const QString& text, int x, int y, QColor fg, QColor bg, QRect fill = {});

    QPainter& p_;
    AppState& s_;
    const Dpi& dpi_;
    int width_;  // the radar area's
    int height_;
    int widgetHeight_;  // the zoom strip's run (in landscape down to the soft-key bar)
};

}  // namespace zentorak
