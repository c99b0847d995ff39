#include "gui/platform/shell_open.h"

#include <QDesktopServices>
#include <QUrl>

namespace zentorak {

bool ShellOpen(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

}  // namespace zentorak
