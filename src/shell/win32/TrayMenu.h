#pragma once

// mnuPopup, the tray icon's menu: its nine items with their captions and Ctrl shortcuts.

#include <windows.h>

namespace tessaly {

// The commands of the menu's items; also accepted as WM_COMMAND by the main window.
enum TrayMenuCommand : UINT {
    kMnuShow = 101,
    kMnuAbout = 103,
    kMnuHelp = 104,
    kMnuDonate = 106,
    kMnuSite = 107,
    kMnuExit = 109,
};

// A new popup menu; the caller destroys it.
HMENU BuildTrayMenu();

// Pops the menu up at the pointer for owner and returns the chosen command, 0 when none was.
UINT TrackTrayMenu(HMENU menu, HWND owner);

} // namespace tessaly
