// One paint of the radar, in its fixed order: white field, zoom strip, cross-hair, then (with an
// origin) axes, grid, coordinates, target labels and the grid-step label, and the acquisition
// notice. Writes markerPos and gridSpacing; keeps nothing itself.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include "core/app/app_state.h"

class QPainter;

namespace zentorak {

class RadarPainter {
public:
    RadarPainter(QPainter& painter, AppState& state, int width, int height);
    void Paint(bool acquiring);

private:
    void ZoomStrip();
    void Line(QColor colour, int x1, int y1, int x2, int y2);
    void Grid(bool fixed);
    void Targets();
    void Coordinates(bool fixed);
    void ViewCentreCoordinates();
    // Text with its top-left corner at (x, y) on a filled cell; fill widens the cell to a rect.
    void Text(const QString& text, int x, int y, QColor fg, QColor bg, QRect fill = {});

    QPainter& p_;
    AppState& s_;
    const Dpi& dpi_;
    int width_;
    int height_;
};

}  // namespace zentorak
