// The screen's logical resolution (LogPixelsX/LogPixelsY), read once from the primary screen and
// cached for the process; -1 when there is no screen. Does not scale anything itself.
#pragma once

#include <functional>

#include "core/text/layout_scale.h"

namespace zentorak {

int LogPixelsX();
int LogPixelsY();
// Both values as the layout arithmetic takes them (96 where no screen could be asked).
Dpi ScreenDpi();

// The handset screen the program stands for, for controls that need it (the item list): the main
// window's (HandsetScreen of its content) once it has registered itself, the default handset's
// before that.
void SetHandsetScreenSource(std::function<ScreenSize()> source);
ScreenSize CurrentHandsetScreen();

}  // namespace zentorak
