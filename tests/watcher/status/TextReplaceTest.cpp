#include "watcher/TextReplace.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using tessaly::text::ReplaceAll;
using tessaly::text::ReplaceAllIn;

struct ReplaceCase {
    std::u16string text;
    std::u16string x;
    std::u16string y;
    std::u16string expected;
};

// Both forms, on the same cases.
void ExpectReplaced(const ReplaceCase& c)
{
    EXPECT_EQ(ReplaceAll(c.text, c.x, c.y), c.expected)
        << ::testing::PrintToString(c.text) << " " << ::testing::PrintToString(c.x);
    std::u16string inPlace = c.text;
    ReplaceAllIn(inPlace, c.x, c.y);
    EXPECT_EQ(inPlace, c.expected)
        << ::testing::PrintToString(c.text) << " " << ::testing::PrintToString(c.x);
}

TEST(ReplaceAll, IsOnePassAndNonOverlapping)
{
    const std::u16string x(40, u'a');
    const std::u16string periodic = x + u'b';
    const ReplaceCase cases[] = {
        {u"aaaa", u"aa", u"a", u"aa"},
        {u"aaa", u"aa", u"b", u"ba"},
        {u"abc", u"", u"x", u"abc"},
        {u"a-b", u"-", u"--", u"a--b"},
        // Long needles take the other search path; overlapping candidates must not be merged.
        {std::u16string(100, u'a'), x, u"b", u"bb" + std::u16string(20, u'a')},
        {x + x + u'b' + x, periodic, u"-", x + u'-' + x},
        // Matches at both ends, and a needle as long as the text or longer.
        {u"ab--ab", u"ab", u"", u"--"},
        {u"abc", u"abc", u"x", u"x"},
        {u"ab", u"abc", u"x", u"ab"},
        {u"", u"a", u"x", u""},
        // Units that share a low byte are still told apart.
        {u"\u0161\u0061\u0161", u"\u0161", u"s", u"sas"},
    };
    for (const auto& c : cases)
        ExpectReplaced(c);
}

// The one-pass rule written as plainly as possible.
std::u16string ReplacePlainly(std::u16string_view text, std::u16string_view x,
                              std::u16string_view y)
{
    if (x.empty())
        return std::u16string(text);
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, x.size()) == x) {
            out += y;
            i += x.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

// Texts of few distinct units give many near misses, for every needle length either search
// path takes.
TEST(ReplaceAll, AgreesWithThePlainRuleOnDenseTexts)
{
    std::mt19937 random(20240611);
    const auto below = [&](std::size_t n) {
        return static_cast<std::size_t>(random() % n);
    };
    const std::u16string alphabet = u" -1a\u2061";
    for (int round = 0; round < 3000; ++round) {
        std::u16string text(below(120), u' ');
        for (char16_t& u : text)
            u = alphabet[below(alphabet.size())];
        const std::size_t length = 1 + below(40);
        std::u16string x;
        if (text.size() >= length && below(2) == 0) {
            x = text.substr(below(text.size() - length + 1), length);
        } else {
            x.resize(length);
            for (char16_t& u : x)
                u = alphabet[below(alphabet.size())];
        }
        ExpectReplaced({text, x, u"<>", ReplacePlainly(text, x, u"<>")});
        if (HasFailure())
            return;
    }
}

TEST(ReplaceAll, ACutResultKeepsItsStartAndStopsAtTheFirstPieceThatDoesNotFit)
{
    const struct {
        std::u16string text;
        std::u16string x;
        std::u16string y;
        std::size_t maxUnits;
        std::u16string expected;
    } cases[] = {
        {u"a%Tb%Tc", u"%T", u"xyz", 99, u"axyzbxyzc"},
        {u"a%Tb%Tc", u"%T", u"xyz", 9, u"axyzbxyzc"},
        {u"a%Tb%Tc", u"%T", u"xyz", 6, u"axyzbx"},
        // "b" would fit after the cut replacement, but the result must not lose its middle.
        {u"%Tb", u"%T", u"xyz", 2, u"xy"},
        {u"a%T", u"%T", u"\xD83C\xDFB5", 2, u"a"},
        // Nothing to replace: the text itself is cut.
        {u"abcdef", u"%T", u"x", 4, u"abcd"},
        {u"abc\xD83C\xDFB5", u"%T", u"x", 4, u"abc"},
        {u"abc", u"", u"x", 2, u"ab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.x, c.y, c.maxUnits), c.expected)
            << ::testing::PrintToString(c.text) << " cut to " << c.maxUnits;
}

} // namespace
