#pragma once

// Resource IDs of tessaly.exe, shared by tessaly.rc and the program (plain macros: windres reads
// this file too). The popup's bitmaps use 200..299 in their own script.

// The application icon: the window, the tray and Explorer use it (Explorer shows the lowest ID).
#define IDI_TESSALY 1
