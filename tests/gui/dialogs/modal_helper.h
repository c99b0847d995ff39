// Acts on a modal dialog while the code under test waits in its exec(): a timer looks for the
// next visible modal dialog of the wanted type and hands it to the test, which presses its
// buttons. A dialog that never comes is a test failure.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace zentorak::testing {

template <typename Dialog>
void WhenModal(std::function<void(Dialog&)> act, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, timeoutMs] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        bool found = dialog != nullptr && dialog->isVisible();
        if (!found && clock->elapsed() < timeoutMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (!found) {
            ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " came up";
            return;
        }
        act(*dialog);
    });
    timer->start(10);
}

}  // namespace zentorak::testing
