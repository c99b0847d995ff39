// Help for people who use the keyboard alone or a screen reader, shared by every window: combo
// boxes that say their label rather than only their value, Shift+F10 as the menu key, Return on
// a focused push button that does not take it by itself.
#pragma once

class QAbstractButton;

namespace zentorak {

// Once per process, before the first window: the combo boxes' accessible interface and the
// Shift+F10 filter. Harmless when called again.
void InstallKeyboardAccess();

// Return and Enter click the button while it has the focus (buttons that are no dialog's
// default, whose Return would otherwise do nothing).
void ClickOnReturn(QAbstractButton* button);

}  // namespace zentorak
