#pragma once

// Twips to Qt's logical pixels, by the one rounding rule of common/Twips.h.

#include "common/Twips.h"

#include <QRect>

namespace tessaly {

inline QRect ToQRect(const PixelRect& r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

inline QRect TwipsQRect(int left, int top, int width, int height)
{
    return ToQRect(TwipsRect(left, top, width, height));
}

} // namespace tessaly
