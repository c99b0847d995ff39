#include "gui/platform/desktop_identity.h"

#include <QGuiApplication>

#include "core/platform/app_folder.h"

namespace zentorak {

void SetDesktopIdentity() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppId));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
}

}  // namespace zentorak
