// Started by bench_startup: runs the program's start-up (or, as the peer, a minimal window) and
// prints one line as soon as the main window has been painted for the first time, then leaves
// without writing anything.
//
// Usage: startup_probe zentorak|ready|peer DIR
//   zentorak: the first paint (the files may still be loading behind it)
//   ready:    the first paint and the files loaded, so that the program takes commands
#include <unistd.h>

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "gui/app/application.h"
#include "gui/platform/single_instance.h"

namespace {

void Report() {
    std::fputs("painted\n", stdout);
    std::fflush(stdout);
    ::_exit(0);
}

class PeerWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawText(10, 20, QStringLiteral("ZENTORAK"));
        Report();
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    QApplication app(argc, argv);
    if (std::strcmp(argv[1], "peer") == 0) {
        PeerWindow window;
        window.resize(240, 294);
        window.show();
        return app.exec();
    }
    std::string dir = argv[2];
    zentorak::SingleInstance instance(QString::fromStdString(dir + "/instance"));
    if (instance.AskRunningCopy()) {
        return 0;
    }
    instance.Listen();
    static zentorak::AppState state;
    zentorak::Application program(state, dir + "/zentorak.ini");
    program.SetBackgroundLoading(true);
    if (!program.Start(false)) {
        return 1;
    }
    bool ready = std::strcmp(argv[1], "ready") == 0;
    QObject::connect(&program.Window(), &zentorak::MainWindow::FirstPainted, [&program, ready] {
        if (ready) {
            program.FinishLoading();
        }
        Report();
    });
    program.Window().show();
    return app.exec();
}
