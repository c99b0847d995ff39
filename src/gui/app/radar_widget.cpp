#include "gui/app/radar_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/app/radar_painter.h"

namespace zentorak {

RadarWidget::RadarWidget(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

void RadarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    RadarPainter radar(painter, state_, width(), height());
    radar.Paint(busy_ && busy_());
    emit Painted();
}

void RadarWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        emit PenDown(event->position().toPoint(), event->button() == Qt::RightButton);
    }
}

void RadarWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        emit PenMove(event->position().toPoint());
    }
}

void RadarWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit PenUp(event->position().toPoint());
    }
}

}  // namespace zentorak
