#pragma once

// The program's message loop and its end: the program runs until the main window has unloaded
// and none of its other windows (the About box, a popup, a message box) is on screen.

#include <windows.h>

namespace tessaly {

// Keyboard navigation (Tab, access keys, Enter and Escape) for a top-level window of ours.
void UseDialogKeys(HWND window);

// Runs until main has been destroyed and no window of this thread is visible; returns exitCode.
int RunMessageLoop(HWND main, int exitCode);

} // namespace tessaly
