// The session ending (SIGTERM, SIGHUP) or Ctrl+C (SIGINT) closes the program as the user
// would, so that the settings are written: an open menu, message box or dialog is closed first
// (with the answer closing gives it: OK, No or Cancel), then the main window. Set up before
// start-up, so that a signal during the first-start notice ends the program too instead of killing
// it. Only closes windows; what closing means is the program's.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QSocketNotifier;

namespace zentorak {

class SessionEnd : public QObject {
public:
    // Installs the signal handlers; one per process.
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

    // The main window, once there is one.
    void SetWindow(QWidget* window) { window_ = window; }
    // Told first when a signal asks the program to end (the program then reports a failed
    // save on standard error instead of in a message box).
    void SetOnRequest(std::function<void()> onRequest) { onRequest_ = std::move(onRequest); }
    // What a signal does (the handler only wakes the event loop, which then calls this).
    void Request();
    bool Requested() const { return requested_; }

private:
    void CloseNext();

    QSocketNotifier* notifier_ = nullptr;
    QPointer<QWidget> window_;
    QTimer closer_;
    bool requested_ = false;
    std::function<void()> onRequest_;
};

}  // namespace zentorak
