#pragma once

// What a mouse message from the tray icon does to the main window, decided without a display.

#include <Qt>

namespace tessaly {

enum class TrayAction {
    None,      // the message has no effect
    PopupMenu, // pop up the tray menu at the pointer
    ShowNormal // set the window normal and show it
};

// While the window is maximised (or full screen) the icon is inert; a window minimised from the
// maximised state counts as minimised. Right button up pops up the menu, a left double-click
// brings the window back; every other message does nothing.
TrayAction TrayActionFor(Qt::WindowStates state, int mouseMessage);

} // namespace tessaly
