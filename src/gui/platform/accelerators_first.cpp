#include "gui/platform/accelerators_first.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace zentorak {

AcceleratorsFirst::AcceleratorsFirst(QWidget* window, QList<QKeySequence> keys)
    : QObject(window), window_(window), keys_(std::move(keys)) {
    qApp->installEventFilter(this);
}

// A control claims a key by accepting its ShortcutOverride; refusing the claim for our keys lets
// the window's shortcut run.
bool AcceleratorsFirst::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != window_) {
        return false;
    }
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    if (!keys_.contains(pressed)) {
        return false;
    }
    event->ignore();
    return true;
}

}  // namespace zentorak
