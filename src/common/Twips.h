#pragma once

// Positions and sizes are kept in twips; every front-end converts at 15 twips per logical pixel
// (96 pixels per inch) through these, so that both round alike.

namespace tessaly {

inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// Each edge is rounded on its own, so that neighbours that touch in twips touch in pixels.
constexpr PixelRect TwipsRect(int left, int top, int width, int height)
{
    const int x = TwipsToPixels(left);
    const int y = TwipsToPixels(top);
    return {x, y, TwipsToPixels(left + width) - x, TwipsToPixels(top + height) - y};
}

} // namespace tessaly
