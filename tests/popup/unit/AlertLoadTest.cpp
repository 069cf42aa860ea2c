#include "popup/AlertLoad.h"

#include "support/core/CoreTestText.h"

#include <gtest/gtest.h>

namespace {

using namespace tessaly;
using tessaly::test::U16;

TEST(AlertLoad, PlacesTheWindowAtTheBottomRightAsIfItWereItsDesignWidth)
{
    const AlertPlacement p = LoadPlacement(1280 * 15, 774);
    EXPECT_EQ(p.left, 1280 * 15 - 3735);
    EXPECT_EQ(p.top, 15 * 774 + 300);
    EXPECT_EQ(p.width, 3810);
    EXPECT_EQ(p.height, 90);
    EXPECT_EQ(p.top + p.height, 15 * 774 + 390); // the bottom edge the popup keeps
}

TEST(AlertLoad, AlphaFromTheStoredOpacity)
{
    const struct {
        const char* stored;
        std::optional<std::int16_t> alpha;
    } cases[] = {
        {"100", 255},
        {"50", 128},
        {"0", 0},
        {"80", 204},
        {"30", 76},
        {" 30 ", 76}, // blanks of a hand-edited file
        {"101", 258}, // beyond 255: SetOpacity leaves it opaque
        {"-1", -3},   // below 0: likewise
        {"abc", 204},
        {"", 204},
        {"12.5", 204},           // not a whole number: the default 80
        {"40000", 204},          // not a 16-bit number: likewise
        {"12849", 32765},        // the largest percent whose product still fits
        {"12850", std::nullopt}, // the product would not fit 16 bits
        {"-12850", std::nullopt},
        {"20000", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupAlpha(U16(c.stored)), c.alpha) << c.stored;
}

} // namespace
