// The program: one instance per user, the main window, the event loop. The session ending
// closes the window like the user would, so the settings are written; a failed save is then
// told on standard error, since nobody may be there to answer a message box.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "gui/app/application.h"
#include "gui/app/update_cycle_adapter.h"
#include "gui/platform/desktop_identity.h"
#include "gui/platform/session_end.h"
#include "gui/platform/single_instance.h"

namespace {

// A handset screen is small; on an ordinary desktop screen show it twice as large. The window
// is laid out for a 192-dpi screen by the program's own arithmetic rather than magnified by the
// toolkit, so that what it tells a screen reader or a magnifier about where its controls are is
// where they are on the screen. A scale or resolution the user set stays as it is.
void ComfortableScale() {
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") &&
        qEnvironmentVariableIsEmpty("QT_FONT_DPI") &&
        qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING") &&
        qgetenv("QT_QPA_PLATFORM") != "offscreen") {
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qputenv("QT_FONT_DPI", "192");
    }
}

// --favorite=N starts at favourite N (from 1), with its places found; the demo's run command
// uses it so that the first window already shows places.
int StartFavorite(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--favorite="))) {
            return argument.mid(11).toInt();
        }
    }
    return 0;
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
    program.SetStartFavorite(StartFavorite(QApplication::arguments()));
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
