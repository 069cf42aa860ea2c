#include "common/qt/SetOpacity.h"

#include <QGuiApplication>
#include <QWidget>

namespace tessaly {

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
