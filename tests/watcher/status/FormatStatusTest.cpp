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

// A station name is the player's text, yet the title is substituted into it: thousands of "%T"
// must not make a status thousands of titles long.
TEST(FormatStatus, TokensInThePlayersTextCannotMultiplyTheStatusPastTheCut)
{
    const std::u16string title(4096, u'x');
    std::u16string station;
    for (int i = 0; i < 2048; ++i)
        station += u"%T";
    const std::u16string expanded = ExpandStatusTokens(u"%L: %A - %T", u"%L", station, title);
    EXPECT_EQ(expanded.size(), kMaxStatusUnits);
    EXPECT_EQ(expanded.substr(0, 4096), title);
    EXPECT_LE(FormatStatus(u"%L: %A - %T", u"%L", station, title).size(), kMaxStatusUnits);
}

TEST(FormatStatus, ATrackWithEveryFieldAtThePlayersLimitIsNotCut)
{
    const std::u16string field(4096, u'a');
    const std::u16string expanded = ExpandStatusTokens(u"%L: %A - %T", field, field, field);
    EXPECT_EQ(expanded, field + u": " + field + u" - " + field);
}

} // namespace
