// The radar area: paints the grid, the origin axes, the numbered target labels, the grid-step
// label, coordinates, the zoom strip and "位置取得中" from AppState, and hands pen events to
// the window. Leaves markerPos and gridSpacing behind for hit-testing and panning.
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

signals:
    void PenDown(QPoint p, bool rightButton);
    void PenMove(QPoint p);
    void PenUp(QPoint p);
    void Painted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    AppState& state_;
    std::function<bool()> busy_;
};

}  // namespace zentorak
