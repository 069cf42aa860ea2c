#include "shell/Opacity.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QGuiApplication>
#include <QWidget>

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

namespace {

// Qt has no public query for per-window alpha; these are the platform plugins that implement it
// (the others print "This plugin does not support setting window opacity" and stay opaque).
bool PlatformHasWindowOpacity()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("windows") ||
           platform == QLatin1String("cocoa");
}

} // namespace

std::int32_t SetOpacity(QWidget* hWnd, std::int16_t alpha)
{
    if (alpha < 0 || alpha > 255)
        return kOpacityOutOfRange;
    if (hWnd == nullptr || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return kOpacityUnsupported;
    try {
        // Recorded even where it cannot show, so the window keeps the alpha it was given.
        hWnd->setWindowOpacity(alpha / 255.0);
    } catch (...) {
        return kOpacityUnsupported;
    }
    return PlatformHasWindowOpacity() ? kOpacityApplied : kOpacityUnsupported;
}

} // namespace tessaly
