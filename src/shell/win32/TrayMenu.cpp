#include "shell/win32/TrayMenu.h"

namespace tessaly {

namespace {

struct ItemSpec {
    UINT command;        // 0 for a separator
    const char* caption; // the shortcut follows the tab, shown at the right
};

// mnuShow, mnuSep1, mnuAbout, mnuHelp, mnuSep2, mnuDonate, mnuSite, mnuSep3, mnuExit.
constexpr ItemSpec kItems[] = {
    {kMnuShow, "&Configure\tCtrl+C"},      {0, nullptr}, {kMnuAbout, "&About\tCtrl+A"},
    {kMnuHelp, "&Help\tCtrl+H"},           {0, nullptr}, {kMnuDonate, "&Donate\tCtrl+D"},
    {kMnuSite, "Tessaly &Online\tCtrl+O"}, {0, nullptr}, {kMnuExit, "E&xit\tCtrl+X"},
};

} // namespace

HMENU BuildTrayMenu()
{
    const HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    for (const ItemSpec& item : kItems) {
        if (item.command == 0)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, item.command, item.caption);
    }
    return menu;
}

UINT TrackTrayMenu(HMENU menu, HWND owner)
{
    if (!menu)
        return 0;
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
    return static_cast<UINT>(chosen);
}

} // namespace tessaly
