// Drives a modal dialog from inside its own event loop: waits for the visible top-level QDialog
// with a given window title and acts on it. A dialog that never turns up is a test failure,
// and every dialog still open is then rejected so that the test cannot hang.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace zentorak::testing {

inline QDialog* FindDialog(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible() && dialog->windowTitle() == title) {
            return dialog;
        }
    }
    return nullptr;
}

inline void WhenDialogOpens(const QString& title, std::function<void(QDialog*)> action,
                            int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (QDialog* dialog = FindDialog(title)) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            action(dialog);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            ADD_FAILURE() << "no dialog titled " << title.toStdString();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
                    dialog->reject();
                }
            }
        }
    });
    timer->start();
}

}  // namespace zentorak::testing
