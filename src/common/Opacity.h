#pragma once

// Window translucency shared by the main window and the popup: the percent-to-alpha rule and the
// results every front-end's SetOpacity reports.

#include <cstdint>

namespace tessaly {

// alpha = v x 0.01 x 255 in double precision, halves to even (80 gives 204, 30 gives 76).
std::int16_t PercentToAlpha(std::int16_t percent);

// Status of SetOpacity.
enum OpacityStatus : std::int32_t {
    kOpacityApplied = 0,     // the window now has that alpha
    kOpacityOutOfRange = 1,  // alpha outside 0..255, nothing done
    kOpacityUnsupported = 2, // the platform could not apply it
};

} // namespace tessaly
