#include "popup/AlertLoad.h"

#include "common/Opacity.h"
#include "common/Settings.h"
#include "common/Twips.h"
#include "popup/AlertMotion.h"

#include <cstdlib>

namespace tessaly {

AlertPlacement LoadPlacement(int screenRight, int fullScreenClientHeight)
{
    AlertPlacement placement{};
    placement.left = screenRight - kAlertDesignWidth;
    placement.top = kTwipsPerPixel * fullScreenClientHeight + 300;
    placement.width = iAlertWidth;
    placement.height = AlertMotion::kStartHeight;
    return placement;
}

std::optional<std::int16_t> PopupAlpha(std::u16string_view storedOpacity)
{
    std::optional<std::int16_t> percent = settings::ParseInt16(storedOpacity);
    if (!percent)
        percent = settings::ParseInt16(settings::kOpacity.defaultText);
    // 32767 / 2.55: beyond this the product leaves the 16-bit range.
    constexpr int kLargestConvertible = 12849;
    if (!percent || std::abs(*percent) > kLargestConvertible)
        return std::nullopt;
    return PercentToAlpha(*percent);
}

} // namespace tessaly
