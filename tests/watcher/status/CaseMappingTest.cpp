#include "watcher/CaseMapping.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace {

using tessaly::text::ToLower;
using tessaly::text::ToUpper;

struct CaseCase {
    std::u16string input, lower, upper;
};

void ExpectMapped(std::initializer_list<CaseCase> cases)
{
    for (const auto& c : cases) {
        EXPECT_EQ(ToLower(c.input), c.lower) << ::testing::PrintToString(c.input);
        EXPECT_EQ(ToUpper(c.input), c.upper) << ::testing::PrintToString(c.input);
    }
}

TEST(CaseMapping, MapsEachCodePointOnItsOwn)
{
    ExpectMapped({
        {u"", u"", u""},
        // The edges of the ASCII letters.
        {u"@AZ[`az{", u"@az[`az{", u"@AZ[`AZ{"},
        {u"\u00DCber", u"\u00FCber", u"\u00DCBER"},
        // "İ" lowers to "i" and a combining dot; "ß" and the ligatures grow in upper case.
        {u"\u0130", u"i\u0307", u"\u0130"},
        {u"stra\u00DFe", u"stra\u00DFe", u"STRASSE"},
        {u"\uFB03", u"\uFB03", u"FFI"},
        {u"\u0390", u"\u0390", u"\u0399\u0308\u0301"},
        // No locale: "i" is "I" everywhere, and sigma has no final form.
        {u"i\u0131", u"i\u0131", u"II"},
        {u"\u03A3\u0391\u03A3", u"\u03C3\u03B1\u03C3", u"\u03A3\u0391\u03A3"},
        // Title case letters go either way.
        {u"\u01C5", u"\u01C6", u"\u01C4"},
        // Alternating capital and small letters, with one that maps on its own in between.
        {u"\u0100\u0101\u012E\u0130\u0132", u"\u0101\u0101\u012Fi\u0307\u0133",
         u"\u0100\u0100\u012E\u0130\u0132"},
        // Offsets too large for 16 bits.
        {u"\uA7AB\u025C", u"\u025C\u025C", u"\uA7AB\uA7AB"},
        // Deseret and Adlam: letters beyond the BMP, as surrogate pairs.
        {u"\U00010400\U00010428", u"\U00010428\U00010428", u"\U00010400\U00010400"},
        {u"\U0001E900x", u"\U0001E922x", u"\U0001E900X"},
        // The last code point and the unassigned ones are left alone.
        {u"\U0010FFFF\U000E0000", u"\U0010FFFF\U000E0000", u"\U0010FFFF\U000E0000"},
    });
}

TEST(CaseMapping, KeepsLoneSurrogates)
{
    ExpectMapped({
        {u"\xD800", u"\xD800", u"\xD800"},
        {u"\xDFFF", u"\xDFFF", u"\xDFFF"},
        {u"a\xD801", u"a\xD801", u"A\xD801"},
        {u"\xDC00 a", u"\xDC00 a", u"\xDC00 A"},
        // A low surrogate before a high one is not a pair.
        {u"\xDC00\xD801", u"\xDC00\xD801", u"\xDC00\xD801"},
        // Halves of a Deseret pair after letters that change.
        {u"A\xD801 A\xDC00", u"a\xD801 a\xDC00", u"A\xD801 A\xDC00"},
        // Two high surrogates and a low one: the second and third are the letter.
        {u"\xD801\xD801\xDC00", u"\xD801\U00010428", u"\xD801\U00010400"},
    });
}

} // namespace
