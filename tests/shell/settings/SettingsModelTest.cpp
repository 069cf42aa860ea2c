#include "shell/SettingsModel.h"

#include <gtest/gtest.h>

namespace {

using namespace tessaly::settings;

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
        EXPECT_STREQ(k.key.name, k.name);
        EXPECT_STREQ(k.key.defaultText, k.defaultText) << k.name;
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
        {"１２", {}},  {"--1", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInt16(QString::fromUtf8(c.text)), c.expected) << '"' << c.text << '"';
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
        EXPECT_EQ(ToControlValue(QString::fromUtf8(c.stored), c.key), c.expected)
            << c.key.name << " = \"" << c.stored << '"';
}

} // namespace
