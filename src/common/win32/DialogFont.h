#pragma once

// The dialog font of every window: MS Sans Serif 8.25 pt, regular or bold.

#include <windows.h>

namespace tessaly {

// A new font; the caller deletes it.
HFONT DialogFont(bool bold);

} // namespace tessaly
