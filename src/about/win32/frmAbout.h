#pragma once

// The About box on Windows: icon, title, version, what Tessaly does and whom it thanks. One
// shared, modeless instance without a taskbar button, above every normal window; OK unloads it,
// so the next opening loads it afresh.

#include <windows.h>

namespace tessaly {

inline constexpr wchar_t kAboutWindowClass[] = L"TessalyAbout";

// Shows the shared instance, loading it first when it is not loaded. instance: the module with
// the icon resource (ID 1).
void ShowAboutBox(HINSTANCE instance);

// The loaded instance, or null.
HWND AboutBoxWindow();

} // namespace tessaly
