// Makes a window's accelerators win over the control that has the focus, as on the handset: a
// text pane would otherwise take Ctrl+A as "select all". Only the given key combinations are
// taken, and only from the window's own controls.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace zentorak {

class AcceleratorsFirst : public QObject {
public:
    // Filters the application's events for as long as `window` lives.
    AcceleratorsFirst(QWidget* window, QList<QKeySequence> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QList<QKeySequence> keys_;
};

}  // namespace zentorak
