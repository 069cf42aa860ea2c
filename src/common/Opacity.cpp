#include "common/Opacity.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessaly {

std::int16_t PercentToAlpha(std::int16_t percent)
{
    // Two separate roundings, first x 0.01 and then x 255, as the stored percentages were always
    // mapped: 30 gives exactly 76.5, which goes to the even 76.
    const double fraction = percent * 0.01;
    const double product = fraction * 255.0;
    const double alpha = std::nearbyint(product); // default rounding mode: halves to even
    // Percentages far outside 0..100 would overflow; the saturated value is one SetOpacity refuses.
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(alpha, lo, hi));
}

} // namespace tessaly
