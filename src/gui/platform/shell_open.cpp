#include "gui/platform/shell_open.h"

#include <QDesktopServices>
#include <QUrl>

#include "core/platform/mime_handlers.h"

namespace zentorak {

bool ShellOpen(const QString& url) {
    QUrl address(url);
    if (address.scheme().compare(QStringLiteral("tel"), Qt::CaseInsensitive) == 0 &&
        !HasUrlSchemeHandler("tel")) {
        return false;
    }
    return QDesktopServices::openUrl(address);
}

}  // namespace zentorak
