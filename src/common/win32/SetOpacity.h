#pragma once

// Window translucency for Win32 windows, with the statuses of common/Opacity.h.

#include "common/Opacity.h"

#include <cstdint>
#include <windows.h>

namespace tessaly {

// Makes the window layered with a constant alpha 0..255; any other alpha leaves it as it was.
// The layered style is never taken away again.
std::int32_t SetOpacity(HWND hWnd, std::int16_t alpha);

} // namespace tessaly
