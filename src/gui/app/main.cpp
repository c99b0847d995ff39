// The program: one instance per user, the main window, the event loop. SIGTERM (the session
// ending) closes the window like the user would, so the settings are written; a failed save
// is then told on standard error, since nobody may be there to answer a message box.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

#include "gui/app/application.h"
#include "gui/app/update_cycle_adapter.h"
#include "gui/platform/single_instance.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}

void CloseOnSignals(QWidget* window, zentorak::Application& program) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, &program] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &c, 1);
        program.EndingBySignal();
        window->close();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// A handset screen is small; on an ordinary desktop screen show it twice as large.
void ComfortableScale() {
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") &&
        qgetenv("QT_QPA_PLATFORM") != "offscreen") {
        qputenv("QT_SCALE_FACTOR", "2");
    }
}

}  // namespace

int main(int argc, char** argv) {
    ComfortableScale();
    QApplication app(argc, argv);
    zentorak::SingleInstance instance(zentorak::SingleInstance::DefaultName());
    if (instance.AskRunningCopy()) {
        return 0;
    }
    instance.Listen();
    static zentorak::AppState state;
    zentorak::Application program(state, zentorak::SettingsFilePath());
    program.SetBackgroundLoading(true);
    program.SetPositionUpdatesFactory(zentorak::UpdateCycleAdapter::ForProgram);
    if (!program.Start()) {
        return 0;
    }
    zentorak::MainWindow& window = program.Window();
    QObject::connect(&instance, &zentorak::SingleInstance::RaiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    CloseOnSignals(&window, program);
    QObject::connect(&app, &QApplication::aboutToQuit, [&program] { program.Teardown(); });
    return app.exec();
}
