#include "gui/app/radar_widget.h"

#include <QFocusEvent>
#include <QGestureEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QWheelEvent>

#include "core/app/spoken_text.h"
#include "gui/app/radar_painter.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

RadarWidget::RadarWidget(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    // One finger stays the pen (its touches arrive as mouse events); two pinch.
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::PinchGesture);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("レーダー"));
}

void RadarWidget::UpdateSpeech() {
    const QString text = ToQString(RadarSpeech(state_));
    if (accessibleDescription() != text) {
        setAccessibleDescription(text);  // sends the change event itself
    }
}

bool RadarWidget::event(QEvent* event) {
    if (event->type() != QEvent::Gesture) {
        return QWidget::event(event);
    }
    auto* gestures = static_cast<QGestureEvent*>(event);
    if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
        emit PenCancel();  // the finger that pressed first is part of the pinch
        if ((pinch->changeFlags() & QPinchGesture::ScaleFactorChanged) &&
            pinch->scaleFactor() > 0) {
            emit Zoom(pinch->scaleFactor());
        }
        gestures->accept(pinch);
    }
    return true;
}

// One notch (15 degrees) is one step of the zoom keys; finer wheels add up to whole notches.
void RadarWidget::wheelEvent(QWheelEvent* event) {
    constexpr int kNotch = 120;
    wheelAngle_ += event->angleDelta().y();
    for (; wheelAngle_ >= kNotch; wheelAngle_ -= kNotch) {
        emit Zoom(kZoomInFactor);
    }
    for (; wheelAngle_ <= -kNotch; wheelAngle_ += kNotch) {
        emit Zoom(kZoomOutFactor);
    }
    event->accept();
}

void RadarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    RadarPainter radar(painter, state_, width(), height());
    radar.Paint(busy_ && busy_());
    UpdateSpeech();
    emit Painted();
}

void RadarWidget::focusInEvent(QFocusEvent* event) {
    switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::MouseFocusReason:
        case Qt::ShortcutFocusReason:
            chosen_ = true;
            break;
        case Qt::PopupFocusReason:
        case Qt::ActiveWindowFocusReason:
            break;  // back where it was
        default:
            chosen_ = false;
            break;
    }
    QWidget::focusInEvent(event);
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
