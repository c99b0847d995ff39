// Tap-and-hold: a press held still (within the drag threshold) for 500 ms, or a press of the
// right mouse button, is a request for a context menu. Only recognises; showing a menu is the
// caller's business.
#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

namespace zentorak {

class TapAndHold : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoldMs = 500;

    // threshold: how far (each axis) the pen may wander and still be held.
    TapAndHold(QPoint threshold, QObject* parent);
    void Press(QPoint p);
    void Move(QPoint p);
    void Release();
    bool Pending() const { return timer_.isActive(); }

signals:
    void Held(QPoint p);

private:
    QPoint threshold_;
    QPoint press_;
    QTimer timer_;
};

}  // namespace zentorak
