#pragma once

// What a mouse message from the tray icon does to the main window, decided without a display.

namespace tessaly {

// The mouse messages a notification-area icon reports (the Windows numbers, on every platform).
inline constexpr int kWM_MOUSEMOVE = 0x0200;
inline constexpr int kWM_LBUTTONDOWN = 0x0201;
inline constexpr int kWM_LBUTTONUP = 0x0202;
inline constexpr int kWM_LBUTTONDBLCLK = 0x0203;
inline constexpr int kWM_RBUTTONDOWN = 0x0204;
inline constexpr int kWM_RBUTTONUP = 0x0205;
inline constexpr int kWM_RBUTTONDBLCLK = 0x0206;
inline constexpr int kWM_MBUTTONDOWN = 0x0207;
inline constexpr int kWM_MBUTTONUP = 0x0208;
inline constexpr int kWM_MBUTTONDBLCLK = 0x0209;

// The main window's state as the tray rule reads it. A window minimised from the maximised
// state has both flags.
struct WindowState {
    bool minimized = false;
    bool maximized = false; // maximised or full screen
};

enum class TrayAction {
    None,      // the message has no effect
    PopupMenu, // pop up the tray menu at the pointer
    ShowNormal // set the window normal and show it
};

// While the window is maximised the icon is inert; a window minimised from the maximised state
// counts as minimised. Right button up pops up the menu, a left double-click brings the window
// back; every other message does nothing.
TrayAction TrayActionFor(WindowState state, int mouseMessage);

} // namespace tessaly
