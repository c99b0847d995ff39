// The program's name towards the desktop: the application name, from which Qt makes the X11
// window class, and the desktop file name, which is the Wayland app id and the id GeoClue and
// its agent know the program by. Both are kAppId, as are the installed desktop entry's name and
// its StartupWMClass, so that the launcher and the task switcher show one icon.
#pragma once

namespace zentorak {

// Call before the QApplication is made, so that its first window already carries the names.
void SetDesktopIdentity();

}  // namespace zentorak
