#include "popup/AlertLoad.h"

#include "popup/AlertMotion.h"
#include "popup/Logging.h"
#include "shell/Opacity.h"
#include "shell/SettingsModel.h"
#include "shell/Twips.h"

#include <cstdlib>

namespace tessaly {

AlertPlacement LoadPlacement(int screenRight, int fullScreenClientHeight)
{
    AlertPlacement placement{};
    placement.left = screenRight - kAlertDesignWidth;
    placement.top = static_cast<int>(kTwipsPerPixel) * fullScreenClientHeight + 300;
    placement.width = iAlertWidth;
    placement.height = AlertMotion::kStartHeight;
    return placement;
}

std::optional<std::int16_t> PopupAlpha(const QString& storedOpacity)
{
    std::optional<std::int16_t> percent = settings::ParseInt16(storedOpacity);
    if (!percent) {
        qCWarning(lcPopup) << "Opacity" << storedOpacity << "is not a whole number; using"
                           << settings::kOpacity.defaultText;
        percent = settings::ParseInt16(QString::fromLatin1(settings::kOpacity.defaultText));
    }
    // 32767 / 2.55: beyond this the product leaves the 16-bit range.
    constexpr int kLargestConvertible = 12849;
    if (!percent || std::abs(*percent) > kLargestConvertible)
        return std::nullopt;
    return PercentToAlpha(*percent);
}

} // namespace tessaly
