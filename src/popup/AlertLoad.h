#pragma once

// The arithmetic of the popup's load step: where the window starts, how large it grows, and the
// alpha it takes from the stored "Opacity". Lengths are twips.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly {

inline constexpr int iAlertHeight = 1750; // full height
inline constexpr int iAlertWidth = 3810;  // full width
// The width of the window's design, which still decides the horizontal place.
inline constexpr int kAlertDesignWidth = 3735;

struct AlertPlacement {
    int left;
    int top;
    int width;
    int height;
};

// The window at its load: screenRight is the screen's right edge in twips, fullScreenClientHeight
// the height in pixels of a full-screen window's client area (the work area less a caption bar).
// Borderless, so there is no frame to add.
AlertPlacement LoadPlacement(int screenRight, int fullScreenClientHeight);

// The alpha for a stored "Opacity": percent x 0.01 x 255, halves to even. A text that is not a
// 16-bit whole number counts as the default 80 (settings::ParseInt16 tells a front-end that wants
// to say so). Nothing when the product would not fit a 16-bit alpha; the window then stays
// opaque, as it does for any alpha outside 0..255.
std::optional<std::int16_t> PopupAlpha(std::u16string_view storedOpacity);

} // namespace tessaly
