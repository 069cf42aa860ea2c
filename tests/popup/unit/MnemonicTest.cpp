#include "popup/Mnemonic.h"

#include "popup/RefreshAlert.h"
#include "support/core/CoreTestText.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::test::U16;
using tessaly::test::U8;

TEST(Mnemonic, MarkersHideDoubledOnesShow)
{
    const struct {
        const char* caption;
        const char* plain;
    } cases[] = {
        {"Artist:", "Artist:"},
        {"Simon & Garfunkel", "Simon  Garfunkel"},
        {"Simon && Garfunkel", "Simon & Garfunkel"},
        {"&File", "File"},
        {"&&&x", "&x"},
        {"&&&&", "&&"},
        {"end&", "end"},
        {"&", ""},
        {"", ""},
        {"<b>\"x\"</b>", "<b>\"x\"</b>"},
        {"Station\r\n\r\nTitle", "Station\r\n\r\nTitle"},
        {"Bj\xC3\xB6rk & \xE6\x97\xA5\xE6\x9C\xAC", "Bj\xC3\xB6rk  \xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U8(MnemonicPlainText(U16(c.caption))), c.plain) << c.caption;
}

// What a front-end draws from a caption: each visible character and whether it is underlined.
std::vector<std::pair<std::string, bool>> Walk(std::u16string_view caption)
{
    std::vector<std::pair<std::string, bool>> out;
    ForEachMnemonicChar(caption, [&](std::u16string_view c, bool underlined) {
        out.emplace_back(U8(c), underlined);
    });
    return out;
}

TEST(Mnemonic, TheWalkMarksTheCharacterAfterALoneMarker)
{
    using Walked = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(Walk(u"&File"), (Walked{{"F", true}, {"i", false}, {"l", false}, {"e", false}}));
    EXPECT_EQ(Walk(u"a&&b"), (Walked{{"a", false}, {"&", false}, {"b", false}}));
    EXPECT_EQ(Walk(u"&&&x"), (Walked{{"&", false}, {"x", true}}));
    EXPECT_EQ(Walk(u"& "), (Walked{{" ", true}}));
    EXPECT_EQ(Walk(u"x&"), (Walked{{"x", false}}));
}

TEST(Mnemonic, ASurrogatePairIsOneCharacter)
{
    const std::string note = "\xF0\x9F\x8E\xB5"; // a character outside the BMP
    using Walked = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(Walk(U16("&" + note + "a")), (Walked{{note, true}, {"a", false}}));
    EXPECT_EQ(Walk(U16(note + note)), (Walked{{note, false}, {note, false}}));
    // A lone surrogate stays one unit and does not swallow its neighbour.
    const std::u16string lone = {u'&', char16_t(0xD83C), u'b'};
    const auto walked = Walk(lone);
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_TRUE(walked[0].second);
    EXPECT_EQ(walked[1], (std::pair<std::string, bool>{"b", false}));
}

TEST(Mnemonic, DoubledAmpersandsReadAsTheTextItself)
{
    EXPECT_EQ(DoubleAmpersands(u"A & B && C"), u"A && B &&&& C");
    for (const char* text : {"R&B & Soul", "&", "&&", "no marker", "", "trailing &"})
        EXPECT_EQ(U8(MnemonicPlainText(DoubleAmpersands(U16(text)))), text) << text;
}

} // namespace
