// The radar area: paints the grid, the origin axes, the numbered target labels, the grid-step
// label, coordinates, the zoom strip and "位置取得中" from AppState, and hands pen events, wheel
// steps and pinches to the window. Takes the keyboard focus and tells a screen reader what it
// shows. Leaves markerPos and gridSpacing behind for hit-testing and
// panning.
#pragma once

#include <QWidget>
#include <functional>

#include "core/app/app_state.h"

namespace zentorak {

class RadarWidget : public QWidget {
    Q_OBJECT
public:
    RadarWidget(AppState& state, QWidget* parent);
    void SetBusy(std::function<bool()> busy) { busy_ = std::move(busy); }
    // Brings the accessible description (what a screen reader hears: grid step, origin, places
    // and their directions) up to what the state shows; a change is announced.
    void UpdateSpeech();
    // Whether the person brought the keyboard here (Tab, a click): then a repaint of a found
    // origin does not hand it on to the list.
    bool KeepsKeyboard() const { return hasFocus() && chosen_; }

signals:
    void PenDown(QPoint p, bool rightButton);
    void PenMove(QPoint p);
    void PenUp(QPoint p);
    // A pinch took over from the finger that pressed first.
    void PenCancel();
    // Zoom around the view centre by this factor: a wheel step (the zoom keys' factor) or a
    // pinch's change since its last report.
    void Zoom(double factor);
    void Painted();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    AppState& state_;
    std::function<bool()> busy_;
    int wheelAngle_ = 0;
    bool chosen_ = false;  // eighths of a degree not yet turned into whole steps
};

}  // namespace zentorak
