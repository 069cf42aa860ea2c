#include "support/core/CoreTestText.h"
#include "watcher/Module1.h"

#include <gtest/gtest.h>

namespace {

using tessaly::test::U16;

struct Case {
    const char* input;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << '"' << c.input << '"';
}

class CleanStatusText : public ::testing::TestWithParam<Case> {};

TEST_P(CleanStatusText, GivesTheTidiedText)
{
    EXPECT_EQ(Module1::CleanStatusText(U16(GetParam().input)), U16(GetParam().expected));
}

// The documented examples.
INSTANTIATE_TEST_SUITE_P(
    Documented, CleanStatusText,
    ::testing::Values(
        Case{"Unknown_Artist - abc - track 07 - night%20drive!!.mp3", "ABC - Night Drive"},
        Case{"", ""}, Case{" ", ""}, Case{"a", "A"}, Case{"ab - cd", "Ab - Cd"},
        Case{"abc - def", "ABC - Def"}, Case{"x (a) y (b) z (e) w (f)", "X (a) Y  Z  W"},
        Case{"(live) song", "Song"}, Case{"song :) (live", ""}, Case{"x ( y", "X ( Y"},
        Case{"x )( y", "X )( Y"}, Case{"x - 7 - y", "X - Y"}, Case{"x - 07 - y", "X - Y"},
        Case{"x - 20 - y", "X - Y"}, Case{"x - track 5 - y", "X - Y"},
        Case{"x - 21 - y", "X - 21 - Y"}, Case{"x-- y", "X -  Y"}, Case{"x - - y", "X  -  Y"},
        Case{"hello.MP3", "Hello"}, Case{"-", ""}, Case{"abcd-", "Abcd"},
        Case{"Über älter", "über älter"}, Case{"   a   b   ", "A  B"}));

// Cases that pin down the order and the one-pass semantics of the steps.
INSTANTIATE_TEST_SUITE_P(
    Semantics, CleanStatusText,
    ::testing::Values(
        // Square brackets become parentheses before the remarks go.
        Case{"night drive [live]", "Night Drive"},
        // Every copy of the remark goes, not only the last one.
        Case{"a (x) b (x)", "A  B"},
        // A ")" right before the last "(" gives an empty piece: nothing changes, no failure.
        Case{"a )(b", "A )(b"},
        // Only the 26 ASCII letters are capitalised, and only after a space.
        Case{"rock-n-roll (x", "ROCK-n-roll (x"}, Case{"éclair ß", "éclair ß"},
        // One pass: a replacement is not scanned again.
        Case{"a    b", "A  B"}, Case{"a - 01 - 01 - b", "A - 01 - B"},
        // The dash repairs do not run the number removal again.
        Case{"a -- 05 -- b", "A  -  05  -  B"}, Case{"a - 100 - b", "A - 100 - B"},
        Case{"x - 12 - y - track 19 - z", "X - Y - Z"},
        Case{"a - track 21 - b", "A - Track 21 - B"},
        // Trailing debris: extension, copy number, dash.
        Case{"song (2).mp3", "Song"}, Case{"x (1)(1)(1)(a)(b)(c)", "X (1)"},
        Case{"song (0)", "Song"}, Case{"song -", "Song"},
        // At most four spaces go from each end.
        Case{"a                    ", "A     "}, Case{"unknown artist - song", "Song"},
        Case{"unknown artist -", "Unknown Artist"},
        // Step 17 applies to the fifth character only.
        Case{"abcd- e", "ABCD- E"}, Case{"abcd - e", "Abcd - E"},
        // Surrogate pairs count as two positions.
        Case{"😀ab- c", "😀AB- C"},
        // Lower case can lengthen the text ("\u0130" is "i" and a combining dot) and so can upper
        // case ("ß" is "SS"): positions are taken after each.
        Case{"\u0130bc- d", "I\u0307BC- D"}, Case{"ßabc- d", "SSABC- D"},
        // Letters beyond the BMP are lowered too.
        Case{"𐐀 x", "𐐨 X"}));

TEST(CleanStatusTextLimits, ShortTextEndingInADashFails)
{
    // ": -" is what an empty artist, album and title leave of the default format.
    EXPECT_EQ(Module1::CleanStatusText(u": - "), u"");
    EXPECT_EQ(Module1::CleanStatusText(u"ab- "), u"");
    // A trailing dash is dropped before the test, so this one survives.
    EXPECT_EQ(Module1::CleanStatusText(u"ab-"), u"Ab");
}

TEST(CleanStatusTextLimits, ParenthesisPositionsAreSixteenBit)
{
    // Positions count from 1 after the leading space is added.
    const std::u16string filler(32763, u'x');
    // The ")" lands on position 32767: still fine.
    EXPECT_EQ(Module1::CleanStatusText(filler + u"(a)").size(), 32763u);
    // One more character puts it on 32768: failure.
    EXPECT_EQ(Module1::CleanStatusText(filler + u"x(a)"), u"");
    // So does a "(" beyond the limit.
    EXPECT_EQ(Module1::CleanStatusText(filler + u"a) xxxx("), u"");
    // A ")" beyond the limit does not matter when there is no "(" at all.
    EXPECT_FALSE(Module1::CleanStatusText(filler + u"xxx)").empty());
}

TEST(CleanStatusTextLimits, LongRemarkIsRemovedEverywhere)
{
    const std::u16string remark = u'(' + std::u16string(100, u'r') + u')';
    const std::u16string text = remark + u" a " + remark + u" b " + remark;
    EXPECT_EQ(Module1::CleanStatusText(text), u"A  B");
}

TEST(CleanStatusTextLimits, LoneSurrogatesAreKept)
{
    // Broken UTF-16 from a player stays as it is, also after letters that change case.
    EXPECT_EQ(Module1::CleanStatusText(u"\xDC00"
                                       u"Ab\xDC00 cd \xD800 e\xD800"),
              u"\xDC00"
              u"ab\xDC00 Cd \xD800 E\xD800");
}

struct ContainsCase {
    const char* fragment;
    const char* text;
    const char* expected;
};

TEST(ContainsText, AnswersYesOrNo)
{
    const ContainsCase cases[] = {
        {"(", "a (b", "yes"},
        {"(", "ab", "no"},
        {"(", "", "no"},
        {"", "", "no"},
        {"", "a", "yes"},
        {"AB", "xaby", "yes"},
        {"ab", "XABY", "yes"},
        {"Ä", "bär", "yes"},
        {"abc", "ab", "no"},
        // Both sides are lowered, each by the same full mapping.
        {"\u0130", "xi\u0307x", "yes"},
        {"i", "\u0130", "yes"},
        {"𐐀", "a𐐨", "yes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Module1::ContainsText(U16(c.fragment), U16(c.text)), U16(c.expected))
            << c.fragment << " in " << c.text;
    }
}

} // namespace
