// UTF-8 and UTF-16 at the program's edges: well-formed text round-trips, broken text is replaced
// and never stops the conversion.

#include "common/Text.h"

#include <climits>
#include <cstdio>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

// Shows UTF-16 as code units, so that a failing case can be read.
std::string Units(std::u16string_view text)
{
    std::string out;
    char unit[8];
    for (const char16_t c : text) {
        std::snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}

// A name for the case, and the text in each form.
struct Conversion {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

TEST(Text, WellFormedTextRoundTrips)
{
    const Conversion cases[] = {
        {"empty", "", u""},
        {"ascii", "Artist - Title", u"Artist - Title"},
        {"embedded NUL", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"two bytes", "D\xC3\xA9j\xC3\xA0", u"D\u00E9j\u00E0"},
        {"three bytes", "\xE2\x99\xAB \xE6\xBC\xA2", u"\u266B \u6F22"},
        {"four bytes", "\xF0\x9F\x8E\xB5", u"\U0001F3B5"},
        {"lowest of each length", "\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80",
         u"\u0080\u0800\U00010000"},
        {"highest of each length", "\x7F\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF",
         u"\u007F\u07FF\uFFFF\U0010FFFF"},
        {"around the surrogates", "\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000"},
        {"a real U+FFFD", "\xEF\xBF\xBD", u"\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Units(Utf8ToUtf16(c.utf8)), Units(c.utf16)) << c.name;
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
    }
}

TEST(Text, BrokenUtf8CostsOneReplacementPerBrokenSequence)
{
    const Conversion cases[] = {
        {"lone continuation", "a\x80z", u"a\uFFFDz"},
        {"byte never in UTF-8", "\xFF\xFE", u"\uFFFD\uFFFD"},
        {"truncated at the end", "a\xC3", u"a\uFFFD"},
        {"truncated three-byte", "\xE2\x99", u"\uFFFD"},
        {"truncated four-byte", "\xF0\x9F\x8E", u"\uFFFD"},
        {"cut by ASCII, which survives", "\xE2\x99z\xF0\x9F\x8Ez", u"\uFFFDz\uFFFDz"},
        {"cut by a new sequence", "\xE2\xC3\xA9", u"\uFFFD\u00E9"},
        {"overlong two-byte", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"overlong four-byte", "\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"five-byte form", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Units(Utf8ToUtf16(c.utf8)), Units(c.utf16)) << c.name;
}

TEST(Text, BrokenUtf16BecomesTheReplacementCharacter)
{
    const std::string kFffd = "\xEF\xBF\xBD";
    const Conversion cases[] = {
        {"high surrogate at the end", "a" + kFffd, u"a\xD83C"},
        {"lone low surrogate", kFffd + "z", u"\xDFB5z"},
        {"pair in the wrong order", kFffd + kFffd, u"\xDFB5\xD83C"},
        {"high before a pair", kFffd + "\xF0\x9F\x8E\xB5", u"\xD83C\xD83C\xDFB5"},
        {"high before ASCII", kFffd + "z", u"\xD83Cz"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
}

TEST(Text, ACutNeverEndsBetweenTheHalvesOfAPair)
{
    const struct {
        std::u16string text;
        std::size_t limit;
        std::size_t expected;
    } cases[] = {
        {u"ab\xD83C\xDFB5", 3, 2},
        {u"ab\xD83C\xDFB5", 4, 4},
        {u"ab\xD83C\xDFB5", 2, 2},
        {u"\xD83C\xDFB5", 1, 0},
        // A lone high surrogate is a character of its own and may end the cut.
        {u"a\xD83Cz", 2, 2},
        {u"abc", 0, 0},
        {u"abc", 99, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeCharactersWithin(c.text, c.limit), c.expected)
            << Units(c.text) << " within " << c.limit;
}

TEST(Text, NumberTextIsPlainDecimal)
{
    const std::pair<long long, std::u16string> cases[] = {
        {0, u"0"},
        {80, u"80"},
        {-1, u"-1"},
        {-32768, u"-32768"},
        {LLONG_MAX, u"9223372036854775807"},
        {LLONG_MIN, u"-9223372036854775808"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(NumberText(value), text) << value;
}

} // namespace
} // namespace tessaly
