// The program: one instance per user, the main window, the event loop. The session ending
// closes the window like the user would, so the settings are written; a failed save is then
// told on standard error, since nobody may be there to answer a message box.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "gui/app/application.h"
#include "gui/app/update_cycle_adapter.h"
#include "gui/platform/desktop_identity.h"
#include "gui/platform/session_end.h"
#include "gui/platform/single_instance.h"

namespace {

// A handset screen is small; on an ordinary desktop screen show it twice as large.
void ComfortableScale() {
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") &&
        qgetenv("QT_QPA_PLATFORM") != "offscreen") {
        qputenv("QT_SCALE_FACTOR", "2");
    }
}

// The files named on the command line (a file manager passes them as %F), as full paths. The
// arguments are those QApplication left (it takes its own options out).
QStringList GivenFiles(int argc, char** argv) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '\0' && argv[i][0] != '-') {
            files << QDir::cleanPath(QFileInfo(QFile::decodeName(argv[i])).absoluteFilePath());
        }
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    ComfortableScale();
    zentorak::SetDesktopIdentity();
    QApplication app(argc, argv);
    zentorak::SessionEnd sessionEnd;
    const QStringList files = GivenFiles(argc, argv);
    zentorak::SingleInstance instance(zentorak::SingleInstance::DefaultName());
    if (instance.AskRunningCopy(files)) {
        return 0;
    }
    instance.Listen();
    static zentorak::AppState state;
    zentorak::Application program(state, zentorak::SettingsFilePath());
    program.SetSettingsToRead(zentorak::SettingsFileBesideReadOnlyProgram());
    sessionEnd.SetOnRequest([&program] { program.EndingBySignal(); });
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
    QObject::connect(
        &instance, &zentorak::SingleInstance::FilesHanded, &window,
        [&window](const QStringList& handed) { window.OpenLocationInfoFiles(handed); });
    if (!files.isEmpty()) {
        window.OpenLocationInfoFiles(files);
    }
    sessionEnd.SetWindow(&window);
    QObject::connect(&app, &QApplication::aboutToQuit, [&program] { program.Teardown(); });
    return app.exec();
}
