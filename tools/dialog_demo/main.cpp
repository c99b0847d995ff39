// Opens one of the shared dialogs on its own, for a look by eye or a screenshot under Xvfb:
//   dialog-demo file [--root DIR]  the file selection dialog as the location-info page opens it
//   dialog-demo value              the value input dialog asking for a new folder's name
//   dialog-demo coordinates        the coordinate entry dialog at 35/40/12 N 139/45/30 E
//   dialog-demo about              the About box
// With --shot FILE it saves a picture of the dialog once it is shown, and quits.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "core/app/options_files.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/coordinate_dialog.h"
#include "gui/dialogs/file_select_dialog.h"
#include "gui/dialogs/value_input_dialog.h"
#include "gui/platform/qt_text.h"

using namespace zentorak;

namespace {

void RunDialog(const QString& which, const QString& root) {
    if (which == QLatin1String("file")) {
        FileSelectDialog dialog;
        dialog.SetFilter(kAddFileFilter);
        dialog.SetInitialFolder(u"/");
        dialog.SetInitialFileName(u"");
        dialog.SetMode(FSD_MUST_EXIST);
        dialog.SetTitle(u"入力元");
        dialog.SetFileSystemRoot(root.toStdString());
        dialog.Run(nullptr, 0);
        if (std::optional<std::u16string> path = dialog.GetResultPath()) {
            std::printf("%s\n", zentorak::ToQString(*path).toUtf8().constData());
        }
    } else if (which == QLatin1String("value")) {
        ValueInputDialog dialog;
        dialog.caption = u"新規フォルダ名";
        dialog.Run(nullptr);
    } else if (which == QLatin1String("coordinates")) {
        DmsAngle lat{35, 40, 12, 345};
        DmsAngle lon{139, 45, 30, 0};
        int search = 1;
        RunCoordinateDialog(nullptr, lat, lon, search, u"緯度", u"経度");
    } else {
        RunAboutDialog(nullptr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString which = args.size() > 1 ? args[1] : QStringLiteral("about");
    qsizetype rootAt = args.indexOf(QStringLiteral("--root"));
    QString root = rootAt > 0 && rootAt + 1 < args.size() ? args[rootAt + 1] : QString();
    qsizetype shotAt = args.indexOf(QStringLiteral("--shot"));
    QString shot = shotAt > 0 && shotAt + 1 < args.size() ? args[shotAt + 1] : QString();
    int status = 0;
    QTimer::singleShot(0, [&] {
        RunDialog(which, root);
        app.quit();
    });
    if (!shot.isEmpty()) {
        QTimer::singleShot(800, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog == nullptr || !dialog->grab().save(shot)) {
                std::fprintf(stderr, "no picture taken\n");
                status = 1;
            }
            if (dialog != nullptr) {
                dialog->close();
            }
        });
    }
    app.exec();
    return status;
}
