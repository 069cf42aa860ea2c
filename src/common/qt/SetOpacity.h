#pragma once

// Window translucency for Qt windows, with the statuses of common/Opacity.h.

#include "common/Opacity.h"

#include <cstdint>

class QWidget;

namespace tessaly {

// Makes the window translucent with a constant alpha 0..255; any other alpha leaves it as it was.
std::int32_t SetOpacity(QWidget* hWnd, std::int16_t alpha);

} // namespace tessaly
