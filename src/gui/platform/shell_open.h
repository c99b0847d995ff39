// Hands a URL (a map page, a "TEL:" address) to the desktop's handler, as the handset's shell
// does; the program has no network code of its own. Tests catch URLs with a URL handler.
#pragma once

#include <QString>

namespace zentorak {

// True when a handler took the URL.
bool ShellOpen(const QString& url);

}  // namespace zentorak
