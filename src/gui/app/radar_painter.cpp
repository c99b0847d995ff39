#include "gui/app/radar_painter.h"

#include <QFontMetrics>
#include <QPainter>

#include "gui/platform/qt_text.h"

namespace zentorak {
namespace {

const QColor kZoomStrip(128, 128, 255);
const QColor kZoomKey(255, 128, 128);
const QColor kCrossHair(160, 160, 224);
const QColor kAxes(0, 0, 255);
const QColor kGrid(160, 160, 160);
const QColor kLabel(96, 192, 96);
const QColor kTarget(100, 100, 224);
const QColor kMarked(224, 96, 0);  // the markers of the rows selected in the list
const QColor kPrevious(150, 150, 170);
const QColor kAcquiring(0, 224, 224);

QString Short(const DmsAngle& a) {
    return ToQString(FormatDmsShort(a));
}

}  // namespace

RadarPainter::RadarPainter(QPainter& painter, AppState& state, int width, int height)
    : p_(painter),
      s_(state),
      dpi_(state.dpi),
      width_(width),
      height_(std::min(height, state.layout.areaHeight)),
      widgetHeight_(height) {
    QFont font = p_.font();
    font.setPixelSize(dpi_.ScaleY(12));
    p_.setFont(font);
}

void RadarPainter::Paint(bool acquiring) {
    p_.fillRect(0, 0, width_, widgetHeight_, Qt::white);
    p_.save();
    p_.setClipRect(0, 0, width_ - dpi_.ScaleX(kZoomStripWidth), widgetHeight_);
    Picture(acquiring);
    p_.restore();
    ZoomStrip();
}

void RadarPainter::Picture(bool acquiring) {
    Line(kCrossHair, 0, height_ / 2, width_, height_ / 2);
    Line(kCrossHair, width_ / 2, 0, width_ / 2, height_);
    if (s_.originValid == 1) {
        bool fixed = s_.settings.OrgFixedMode == 1;
        if (fixed) {
            Line(kAxes, 0, s_.originY, width_, s_.originY);
            Line(kAxes, s_.originX, 0, s_.originX, height_);
        }
        GridStep step = ComputeGridStep(DmsToDegrees(s_.originLat), s_.scale, dpi_);
        s_.gridSpacing = step.spacing;
        Grid(fixed);
        if (!fixed) {
            Line(kAxes, 0, height_ / 2, width_, height_ / 2);
            Line(kAxes, width_ / 2, 0, width_ / 2, height_);
        }
        // The places themselves go over every label, so that a label never hides the nearest.
        Labels(fixed, step);
        Targets();
    }
    if (acquiring) {
        int y = height_ - dpi_.ScaleY(15);
        Text(QStringLiteral("位置取得中"), dpi_.ScaleX(1), y, Qt::black, kAcquiring,
             QRect(QPoint(dpi_.ScaleX(1), y), QPoint(dpi_.ScaleX(60), height_ - dpi_.ScaleY(1))));
    }
}

void RadarPainter::ZoomStrip() {
    int strip = dpi_.ScaleX(kZoomStripWidth);
    p_.fillRect(width_ - strip, 0, strip, widgetHeight_, kZoomStrip);
    int inset = (strip - dpi_.ScaleX(8)) / 2;
    int x = width_ - strip + inset;
    QRect plus(QPoint(x, dpi_.ScaleY(1)), QPoint(width_ - inset, dpi_.ScaleY(15)));
    Text(QStringLiteral("+"), x, dpi_.ScaleY(1), Qt::white, kZoomKey, plus);
    Text(QStringLiteral("--"), x, height_ - dpi_.ScaleY(15), Qt::white, kZoomKey);
}

void RadarPainter::Line(QColor colour, int x1, int y1, int x2, int y2) {
    p_.setPen(QPen(colour, 1));
    p_.drawLine(x1, y1, x2, y2);
}

void RadarPainter::Grid(bool fixed) {
    int g = s_.gridSpacing;
    if (g <= 0) {
        return;
    }
    for (int i = -(s_.originX / g); i <= (width_ - s_.originX) / g; ++i) {
        if (!(fixed && i == 0)) {
            Line(kGrid, s_.originX + i * g, 0, s_.originX + i * g, height_);
        }
    }
    for (int j = -(s_.originY / g); j <= (height_ - s_.originY) / g; ++j) {
        if (!(fixed && j == 0)) {
            Line(kGrid, 0, s_.originY + j * g, width_, s_.originY + j * g);
        }
    }
}

// The coordinates of the origin (fixed mode) and of the view centre, and the grid step: placed
// by their measured widths so that none runs under the zoom strip or into another.
void RadarPainter::Labels(bool fixed, const GridStep& step) {
    QFontMetrics metrics(p_.font());
    MainLayout area;
    area.areaWidth = width_;
    area.areaHeight = height_;
    DmsAngle lat, lon;
    LabelPositionAt(s_.View(), ViewCentre(area), lat, lon);
    const QString originLat = Short(s_.originLat), centreLat = Short(lat), centreLon = Short(lon);
    const QString stepText = QString::fromStdString(GridStepLabel(step.metres));
    RadarLabelPlaces at = PlaceRadarLabels(
        area, dpi_,
        {metrics.horizontalAdvance(originLat), metrics.horizontalAdvance(centreLon),
         metrics.horizontalAdvance(stepText), metrics.height()});
    if (fixed) {
        Text(originLat, at.originLatX, s_.originY - dpi_.ScaleY(5), Qt::white, kLabel);
        Text(Short(s_.originLon), s_.originX - dpi_.ScaleX(30), 0, Qt::white, kLabel);
    }
    Text(stepText, at.step.x, at.step.y, Qt::white, kLabel);
    Text(centreLat, 0, height_ / 2 - dpi_.ScaleY(5), Qt::white, kLabel);
    Text(centreLon, at.centreLon.x, at.centreLon.y, Qt::white, kLabel);
}

// The nearest go on top; the markers of the rows selected in the list go over all of them,
// framed, so that the row's place can be found among overlapping markers.
void RadarPainter::Targets() {
    RadarView view = s_.View();
    int n = std::min(s_.found.count, static_cast<int>(s_.markerPos.size()));
    QColor colour = s_.foundAtPreviousPosition ? kPrevious : kTarget;
    for (int k = n - 1; k >= 0; --k) {
        const TargetRecord* t = s_.found.targets[static_cast<size_t>(k)];
        PixelPoint m = MarkerPosition(view, t->lat, t->lon, dpi_);
        s_.markerPos[static_cast<size_t>(k)] = m;
        Text(MarkerText(k), m.x, m.y, Qt::white, colour);
    }
    for (int k : s_.markedTargets) {
        if (k < 0 || k >= n) {
            continue;
        }
        PixelPoint m = s_.markerPos[static_cast<size_t>(k)];
        Text(MarkerText(k), m.x, m.y, Qt::white, kMarked);
        QFontMetrics metrics(p_.font());
        p_.setPen(QPen(Qt::black, std::max(1, dpi_.ScaleX(1))));
        p_.drawRect(m.x - 1, m.y - 1, metrics.horizontalAdvance(MarkerText(k)) + 1,
                    metrics.height() + 1);
    }
    if (s_.foundAtPreviousPosition) {
        Text(QStringLiteral("前回の位置での検索結果"), dpi_.ScaleX(1), dpi_.ScaleY(1), Qt::white,
             kPrevious);
    }
}

QString RadarPainter::MarkerText(int k) {
    return QStringLiteral("%1").arg(k + 1, 2, 10, QLatin1Char('0'));
}

void RadarPainter::Text(const QString& text, int x, int y, QColor fg, QColor bg, QRect fill) {
    QFontMetrics metrics(p_.font());
    QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    p_.fillRect(fill.isNull() ? cell : fill, bg);
    p_.setPen(fg);
    p_.drawText(cell, Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace zentorak
