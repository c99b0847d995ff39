// Hands a URL (a map page, a "TEL:" address) to the desktop's handler, as the handset's shell
// does; the program has no network code of its own. Tests catch URLs with a URL handler.
// xdg-open reports success as soon as it starts, so a tel: address goes out only when the
// desktop has an application for x-scheme-handler/tel (a dialer); otherwise it fails at once.
#pragma once

#include <QString>

namespace zentorak {

// True when a handler took the URL; false for a tel: address without a registered dialer.
bool ShellOpen(const QString& url);

}  // namespace zentorak
