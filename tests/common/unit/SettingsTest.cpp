// The settings keys, the conversion of a stored text to a control's number, and the store in
// memory.

#include "common/Settings.h"

#include "support/core/CoreTestText.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace settings;
using test::U16;

TEST(SettingsKeys, NamesAndDefaultsAreTheStoredOnes)
{
    const struct {
        const Key& key;
        const char* name;
        const char* defaultText;
    } keys[] = {
        {kMinimized, "Minimized", "0"},
        {kBallons, "Ballons", "1"},
        {kOpacity, "Opacity", "80"},
        {kMainOpacity, "MainOpacity", "80"},
        {kRadioPlayList, "RadioPlayList", "0"},
        {kPlaylistFile, "PlaylistFile", "Playlist.txt"},
        {kFormat, "Format", "%L: %A - %T"},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(k.key.name, U16(k.name));
        EXPECT_EQ(k.key.defaultText, U16(k.defaultText)) << k.name;
    }
}

TEST(ParseInt16, AcceptsOnlyWholeSixteenBitNumbers)
{
    const struct {
        const char* text;
        std::optional<std::int16_t> expected;
    } cases[] = {
        {"0", 0},      {"80", 80},     {" 42 ", 42},        {"+7", 7},
        {"-5", -5},    {"007", 7},     {"32767", 32767},    {"-32768", -32768},
        {"32768", {}}, {"-32769", {}}, {"99999999999", {}}, {"", {}},
        {" ", {}},     {"-", {}},      {"+", {}},           {"4.5", {}},
        {"1e2", {}},   {"0x10", {}},   {"80%", {}},         {"8 0", {}},
        {"１２", {}},  {"--1", {}},    {"+-1", {}},         {"\t\r\n12\r\n", 12},
        {"- 5", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInt16(U16(c.text)), c.expected) << '"' << c.text << '"';
}

TEST(ToControlValue, FallsBackToTheDefaultAndClamps)
{
    const struct {
        const char* stored;
        const Key& key;
        std::int16_t expected;
    } cases[] = {
        {"55", kOpacity, 55},
        {"0", kOpacity, 0},
        {"150", kOpacity, 100},
        {"-5", kOpacity, 0},
        {"junk", kOpacity, 80},
        {"40000", kOpacity, 80},
        {"", kBallons, 1},
        {"2", kBallons, 2},
        {"7", kMinimized, 2},
        {"-1", kRadioPlayList, 0},
        {"x", kRadioPlayList, 0},
        // The spin control's own range; its handler raises this to 20.
        {"10", kMainOpacity, 10},
        {"abc", kMainOpacity, 80},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToControlValue(U16(c.stored), c.key), c.expected)
            << test::U8(c.key.name) << " = \"" << c.stored << '"';
}

TEST(ToControlValue, AKeyWhoseDefaultIsNoNumberGivesItsMinimum)
{
    constexpr Key odd{u"Odd", u"none", 3, 9};
    EXPECT_EQ(ToControlValue(u"junk", odd), 3);
    EXPECT_EQ(ToControlValue(u"12", odd), 9);
}

TEST(MemorySettingsStore, ReadsBackWhatWasWritten)
{
    MemorySettingsStore store;
    EXPECT_EQ(store.read(u"Format", u"d"), u"d");
    store.write(u"Format", u"");
    EXPECT_EQ(store.read(u"Format", u"d"), u"") << "an empty text is a value, not an absence";
    store.write(u"Format", u"%T");
    EXPECT_EQ(store.read(u"Format", u"d"), u"%T");
    EXPECT_EQ(store.values().size(), 1u);
}

TEST(SettingsRead, TheStoreFirstThenTheDefault)
{
    MemorySettingsStore store;
    EXPECT_EQ(Read(store, kFormat), u"%L: %A - %T");
    EXPECT_EQ(ReadControlValue(store, kOpacity), 80);
    store.write(u"Opacity", u" 150 ");
    store.write(u"Format", u"%A");
    EXPECT_EQ(ReadControlValue(store, kOpacity), 100);
    EXPECT_EQ(Read(store, kFormat), u"%A");
    store.write(u"Opacity", u"eighty");
    EXPECT_EQ(ReadControlValue(store, kOpacity), 80);
}

} // namespace
} // namespace tessaly
