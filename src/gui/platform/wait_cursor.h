// The wait cursor for long operations, shown for the guard's lifetime; every way out of the
// scope (return, early stop) restores the arrow. Guards nest.
#pragma once

#include <QApplication>
#include <QCursor>

namespace zentorak {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    // Back to the arrow before the scope ends (before a message box, for example).
    void Restore() {
        if (active_) {
            QApplication::restoreOverrideCursor();
            active_ = false;
        }
    }

private:
    bool active_ = true;
};

}  // namespace zentorak
