#include "watcher/Module1.h"
#include "watcher/TextReplace.h"

#include <gtest/gtest.h>

namespace {

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
    const QString input = QString::fromUtf8(GetParam().input);
    EXPECT_EQ(Module1::CleanStatusText(input), QString::fromUtf8(GetParam().expected));
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
        Case{"😀ab- c", "😀AB- C"}));

TEST(CleanStatusTextLimits, ShortTextEndingInADashFails)
{
    // ": -" is what an empty artist, album and title leave of the default format.
    EXPECT_EQ(Module1::CleanStatusText(QStringLiteral(": - ")), QString());
    EXPECT_EQ(Module1::CleanStatusText(QStringLiteral("ab- ")), QString());
    // A trailing dash is dropped before the test, so this one survives.
    EXPECT_EQ(Module1::CleanStatusText(QStringLiteral("ab-")), QStringLiteral("Ab"));
}

TEST(CleanStatusTextLimits, ParenthesisPositionsAreSixteenBit)
{
    // Positions count from 1 after the leading space is added.
    const QString filler(32763, u'x');
    // The ")" lands on position 32767: still fine.
    EXPECT_EQ(Module1::CleanStatusText(filler + QStringLiteral("(a)")).size(), 32763);
    // One more character puts it on 32768: failure.
    EXPECT_EQ(Module1::CleanStatusText(filler + QStringLiteral("x(a)")), QString());
    // So does a "(" beyond the limit.
    EXPECT_EQ(Module1::CleanStatusText(filler + QStringLiteral("a) xxxx(")), QString());
    // A ")" beyond the limit does not matter when there is no "(" at all.
    EXPECT_FALSE(Module1::CleanStatusText(filler + QStringLiteral("xxx)")).isEmpty());
}

TEST(CleanStatusTextLimits, LongRemarkIsRemovedEverywhere)
{
    const QString remark = u'(' + QString(100, u'r') + u')';
    const QString text =
        QString(remark + QStringLiteral(" a ") + remark + QStringLiteral(" b ") + remark);
    EXPECT_EQ(Module1::CleanStatusText(text), QStringLiteral("A  B"));
}

struct ContainsCase {
    const char* fragment;
    const char* text;
    const char* expected;
};

TEST(ContainsText, AnswersYesOrNo)
{
    const ContainsCase cases[] = {
        {"(", "a (b", "yes"},  {"(", "ab", "no"},   {"(", "", "no"},
        {"", "", "no"},        {"", "a", "yes"},    {"AB", "xaby", "yes"},
        {"ab", "XABY", "yes"}, {"Ä", "bär", "yes"}, {"abc", "ab", "no"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Module1::ContainsText(QString::fromUtf8(c.fragment), QString::fromUtf8(c.text)),
                  QLatin1String(c.expected))
            << c.fragment << " in " << c.text;
    }
}

TEST(ReplaceAll, IsOnePassAndNonOverlapping)
{
    using tessaly::text::ReplaceAll;
    EXPECT_EQ(ReplaceAll(QStringLiteral("aaaa"), u"aa", u"a"), QStringLiteral("aa"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("aaa"), u"aa", u"b"), QStringLiteral("ba"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("abc"), u"", u"x"), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("a-b"), u"-", u"--"), QStringLiteral("a--b"));
    // Long needles take the other search path; overlapping candidates must not be merged.
    const QString x = QString(40, u'a');
    EXPECT_EQ(ReplaceAll(QString(100, u'a'), x, u"b"),
              QString(QStringLiteral("bb") + QString(20, u'a')));
    const QString periodic = QString(x + u'b');
    EXPECT_EQ(ReplaceAll(QString(x + x + u'b' + x), periodic, u"-"), QString(x + u'-' + x));
}

} // namespace
