// Twips to pixels at 15 twips per pixel: one rounding for every front-end.

#include "common/Twips.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(Twips, RoundToTheNearestPixelHalvesAwayFromZero)
{
    const std::pair<int, int> cases[] = {
        {0, 0},   {7, 0},    {8, 1},    {15, 1},   {22, 1},     {23, 2},     {-7, 0},
        {-8, -1}, {-15, -1}, {-22, -1}, {-23, -2}, {4800, 320}, {1695, 113}, {1335, 89},
    };
    for (const auto& [twips, pixels] : cases)
        EXPECT_EQ(TwipsToPixels(twips), pixels) << twips;
}

TEST(Twips, RoundingIsSymmetricAndWholePixelsSurviveTheTripBack)
{
    for (int twips = -3000; twips <= 3000; ++twips)
        ASSERT_EQ(TwipsToPixels(-twips), -TwipsToPixels(twips)) << twips;
    for (int pixels = -200; pixels <= 200; ++pixels)
        ASSERT_EQ(TwipsToPixels(PixelsToTwips(pixels)), pixels) << pixels;
}

TEST(TwipsRect, NeighboursThatTouchInTwipsTouchInPixels)
{
    // Every left edge and two widths that do not fall on whole pixels: the second rectangle
    // starts where the first ends, so no gap and no overlap may appear between them.
    for (int left = -100; left <= 400; ++left) {
        for (const int width : {1, 7, 8, 100, 1335}) {
            const PixelRect a = TwipsRect(left, left, width, width);
            const PixelRect b = TwipsRect(left + width, left + width, 97, 97);
            ASSERT_EQ(a.x + a.width, b.x) << left << " + " << width;
            ASSERT_EQ(a.y + a.height, b.y) << left << " + " << width;
            ASSERT_GE(a.width, 0);
        }
    }
}

TEST(TwipsRect, EdgesAreTheRoundedTwips)
{
    const PixelRect r = TwipsRect(120, 1695, 1335, 285);
    EXPECT_EQ(r.x, 8);
    EXPECT_EQ(r.y, 113);
    EXPECT_EQ(r.width, TwipsToPixels(120 + 1335) - 8);
    EXPECT_EQ(r.height, TwipsToPixels(1695 + 285) - 113);
    EXPECT_EQ(r.width, 89);
    EXPECT_EQ(r.height, 19);
}

} // namespace
} // namespace tessaly
