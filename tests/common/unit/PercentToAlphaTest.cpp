#include "common/Opacity.h"

#include <gtest/gtest.h>

namespace {

TEST(PercentToAlpha, MatchesTheTable)
{
    const std::pair<std::int16_t, std::int16_t> table[] = {
        {0, 0},    {10, 26},  {20, 51},  {30, 76},   {50, 128},
        {70, 179}, {80, 204}, {90, 230}, {100, 255},
    };
    for (const auto& [percent, alpha] : table)
        EXPECT_EQ(tessaly::PercentToAlpha(percent), alpha) << percent;
}

TEST(PercentToAlpha, OutOfRangePercentagesGiveAlphasSetOpacityRefuses)
{
    EXPECT_EQ(tessaly::PercentToAlpha(200), 510);
    EXPECT_EQ(tessaly::PercentToAlpha(-1), -3);
    // Would overflow 16 bits: saturated instead of wrapping into a valid-looking alpha.
    EXPECT_EQ(tessaly::PercentToAlpha(32767), 32767);
    EXPECT_EQ(tessaly::PercentToAlpha(-32768), -32768);
}

} // namespace
