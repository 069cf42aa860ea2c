// Text conversion through Windows' code pages, the system's (CP_ACP) first.

#include "publisher/win32/Win32CodePage.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tessaly {
namespace {

using namespace std::string_literals;

TEST(Win32CodePageTest, DefaultIsTheSystemAnsiCodePage)
{
    EXPECT_EQ(Win32CodePage().codePage(), GetACP());
    EXPECT_EQ(Win32CodePage(CP_ACP).codePage(), GetACP());
    EXPECT_EQ(Win32CodePage(932).codePage(), 932u);
}

TEST(Win32CodePageTest, ConvertsBothWaysInEachCodePage)
{
    struct Case {
        unsigned codePage;
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {1252, u"", ""},
        {1252, u"Plain ASCII", "Plain ASCII"},
        {1252, u"D\u00E9j\u00E0 \u20AC \u2013", "D\xE9j\xE0 \x80 \x96"},
        {1252, u"a\0b"s, "a\0b"s},
        {932, u"\u65E5\u672C", "\x93\xFA\x96\x7B"},
        {932, u"A\uFF71", "A\xB1"},
        {65001, u"\u00E9\u65E5", "\xC3\xA9\xE6\x97\xA5"},
    };
    for (const Case& c : cases) {
        const Win32CodePage page(c.codePage);
        EXPECT_EQ(page.FromUnicode(c.text), c.bytes) << "code page " << c.codePage;
        EXPECT_EQ(page.ToUnicode(c.bytes), c.text) << "code page " << c.codePage;
    }
}

TEST(Win32CodePageTest, WhatTheCodePageCannotHoldBecomesAQuestionMark)
{
    const Win32CodePage page(1252);
    EXPECT_EQ(page.FromUnicode(u"\u4E2D!"), "?!");
    // No best fit: a look-alike letter would change the text silently.
    EXPECT_EQ(page.FromUnicode(u"\u0101"), "?");
}

TEST(Win32CodePageTest, InvalidBytesBecomeReplacementCharacters)
{
    struct Case {
        unsigned codePage;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {932, "ab\x82", u"ab\uFFFD"},
        {932, "\x93\xFA\x82", u"\u65E5\uFFFD"},
        {65001,
         "a\xFF"
         "b",
         u"a\uFFFD"
         "b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Win32CodePage(c.codePage).ToUnicode(c.bytes), c.text) << c.codePage;
}

} // namespace
} // namespace tessaly
