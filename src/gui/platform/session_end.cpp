#include "gui/platform/session_end.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

namespace zentorak {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}

}  // namespace

SessionEnd::SessionEnd(QObject* parent) : QObject(parent) {
    // Each tick closes one thing: a box that is open now, or one that start-up shows later,
    // and at last the window.
    closer_.setInterval(50);
    connect(&closer_, &QTimer::timeout, this, [this] { CloseNext(); });
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &c, 1);
        Request();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

SessionEnd::~SessionEnd() {
    if (notifier_) {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGHUP, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }
}

void SessionEnd::Request() {
    if (!requested_ && onRequest_) {
        onRequest_();
    }
    requested_ = true;
    if (!closer_.isActive()) {
        closer_.start();
        CloseNext();
    }
}

void SessionEnd::CloseNext() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        return;
    }
    if (window_) {
        window_->close();
        closer_.stop();
    }
}

}  // namespace zentorak
