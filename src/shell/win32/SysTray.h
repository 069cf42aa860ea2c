#pragma once

// The notification-area icon (module SysTray): one icon, id 1, added once and removed once.

#include <string_view>
#include <windows.h>

namespace tessaly {

// Fills the 88-byte record and adds the icon; a failed add is not noticed.
void AddTrayIcon(HWND hWnd, HICON icon, std::string_view tip, UINT callbackMessage);
// Adds the icon again from the kept record (the taskbar was re-created); nothing when absent.
void RestoreTrayIcon();
// Removes the icon named by the kept record; nothing when absent.
void RemoveTrayIcon();
bool IsTrayIconPresent();

} // namespace tessaly
