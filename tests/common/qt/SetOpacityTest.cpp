#include "common/qt/SetOpacity.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QWidget>

namespace {

using tessaly::SetOpacity;

// Offscreen widgets keep the alpha but cannot show it; X11 (and Windows) apply it.
std::int32_t AppliedStatus()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("windows")
               ? tessaly::kOpacityApplied
               : tessaly::kOpacityUnsupported;
}

int AlphaOf(const QWidget& w)
{
    return static_cast<int>(std::lround(w.windowOpacity() * 255.0));
}

TEST(SetOpacity, GivesTheWindowAlphaInRange)
{
    QWidget w;
    w.show();
    for (const std::int16_t alpha : {204, 0, 51, 255}) {
        EXPECT_EQ(SetOpacity(&w, alpha), AppliedStatus());
        EXPECT_EQ(AlphaOf(w), alpha);
    }
}

TEST(SetOpacity, RefusesAlphaOutsideAByteAndLeavesTheWindow)
{
    QWidget w;
    ASSERT_EQ(SetOpacity(&w, 128), AppliedStatus());
    for (const std::int16_t alpha : {256, -1, 510, -32768}) {
        EXPECT_EQ(SetOpacity(&w, alpha), tessaly::kOpacityOutOfRange);
        EXPECT_EQ(AlphaOf(w), 128);
    }
}

TEST(SetOpacity, NoWindowCannotBeMadeTranslucent)
{
    EXPECT_EQ(SetOpacity(nullptr, 100), tessaly::kOpacityUnsupported);
    // The range check comes first.
    EXPECT_EQ(SetOpacity(nullptr, 300), tessaly::kOpacityOutOfRange);
}

} // namespace
