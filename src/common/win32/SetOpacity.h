#pragma once

// Window translucency for native Windows windows, with the statuses of common/Opacity.h: the
// window becomes layered and takes a constant alpha.

#include "common/Opacity.h"

#include <cstdint>
#include <windows.h>

namespace tessaly {

// Makes the window layered with a constant alpha 0..255; any other alpha leaves it as it was.
std::int32_t SetOpacity(HWND hWnd, std::int16_t alpha);

} // namespace tessaly
