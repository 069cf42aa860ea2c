#pragma once

// Positions and sizes are kept in twips; widgets get logical pixels at 15 twips per pixel.

#include <QRect>
#include <QtGlobal>

namespace tessaly {

inline constexpr double kTwipsPerPixel = 15.0;

inline int TwipsToPixels(int twips)
{
    return qRound(twips / kTwipsPerPixel);
}

// Each edge is rounded on its own, so that neighbours that touch in twips touch in pixels.
inline QRect TwipsRect(int left, int top, int width, int height)
{
    const int x = TwipsToPixels(left);
    const int y = TwipsToPixels(top);
    return QRect(x, y, TwipsToPixels(left + width) - x, TwipsToPixels(top + height) - y);
}

} // namespace tessaly
