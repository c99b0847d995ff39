#include "gui/platform/tap_and_hold.h"

#include <cstdlib>

namespace zentorak {

TapAndHold::TapAndHold(QPoint threshold, QObject* parent) : QObject(parent), threshold_(threshold) {
    timer_.setSingleShot(true);
    timer_.setInterval(kHoldMs);
    connect(&timer_, &QTimer::timeout, this, [this] { emit Held(press_); });
}

void TapAndHold::Press(QPoint p) {
    press_ = p;
    timer_.start();
}

void TapAndHold::Move(QPoint p) {
    if (std::abs(p.x() - press_.x()) > threshold_.x() ||
        std::abs(p.y() - press_.y()) > threshold_.y()) {
        timer_.stop();
    }
}

void TapAndHold::Release() {
    timer_.stop();
}

}  // namespace zentorak
