#include "watcher/FormatStatus.h"

#include "support/core/CoreTestText.h"

#include <gtest/gtest.h>

namespace {

using tessaly::test::U16;

struct Case {
    const char* format;
    const char* artist;
    const char* album;
    const char* title;
    const char* expected;
};

TEST(FormatStatus, ExpandsTokensInOrderAndCleans)
{
    const Case cases[] = {
        {"%L: %A - %T", "the example band", "Road Songs", "Night_Drive [Live]",
         "Road Songs: The Example Band - Night Drive"},
        {"%L: %A - %T", "", "", "abc - night drive", ": - Abc - Night Drive"},
        // Everything empty leaves ": -", which the cleaning rejects.
        {"%L: %A - %T", "", "", "", ""},
        {"now playing", "a", "b", "c", "Now Playing"},
        // Sequential: the artist's own "%T" is expanded by the title.
        {"%A", "x %T", "", "song", "X Song"},
        // ... but the title is expanded last, so its "%A" stays.
        {"%T", "artist", "", "a %A", "A %a"},
        // Tokens are case-sensitive.
        {"%a %l %t %A", "x", "y", "z", "%a %l %t X"},
        {"%T%T", "", "", "ab", "Abab"},
        {"%%AA", "x", "", "", "%xa"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatStatus(U16(c.format), U16(c.artist), U16(c.album), U16(c.title)),
                  U16(c.expected))
            << c.format << " / " << c.artist << " / " << c.album << " / " << c.title;
    }
}

} // namespace
