#include "shell/NotifyIconData.h"

#include <gtest/gtest.h>
#include <string>

using namespace tessaly;

namespace {

std::uint32_t FieldAt(const std::array<std::uint8_t, kNotifyIconDataSize>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

} // namespace

TEST(NotifyIconData, FieldsSitAtTheirOffsetsLittleEndian)
{
    const auto data = BuildNotifyIconData(0x12345678u, 0xCAFEBABEu, "Tessaly", 0x0200u);
    const auto bytes = SerializeNotifyIconData(data);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(bytes[0], 88);
    EXPECT_EQ(bytes[4], 0x78); // low byte first
    EXPECT_EQ(FieldAt(bytes, 0), 88u);
    EXPECT_EQ(FieldAt(bytes, 4), 0x12345678u);
    EXPECT_EQ(FieldAt(bytes, 8), 1u);
    EXPECT_EQ(FieldAt(bytes, 12), kNIF_MESSAGE | kNIF_ICON | kNIF_TIP);
    EXPECT_EQ(FieldAt(bytes, 12), 7u);
    EXPECT_EQ(FieldAt(bytes, 16), 0x0200u);
    EXPECT_EQ(FieldAt(bytes, 20), 0xCAFEBABEu);
    EXPECT_EQ(std::string(bytes.begin() + 24, bytes.begin() + 32), std::string("Tessaly\0", 8));
}

TEST(NotifyIconData, TipIsTerminatedThenBlankPadded)
{
    struct Case {
        std::string tip;
        std::size_t kept;
    };
    const Case cases[] = {
        {"Tessaly", 7},
        {"", 0},
        {std::string(63, 'a'), 63}, // the longest tip that fits with its terminator
        {std::string(64, 'b'), 63},
        {std::string(100, 'c'), 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tip.size());
        const auto data = BuildNotifyIconData(1, 2, c.tip, 3);
        const auto bytes = SerializeNotifyIconData(data);
        EXPECT_EQ(NotifyIconTip(data), c.tip.substr(0, c.kept));
        EXPECT_EQ(bytes[24 + c.kept], 0);
        for (std::size_t i = c.kept + 1; i < kNotifyIconTipSize; ++i)
            ASSERT_EQ(bytes[24 + i], ' ') << "at " << i;
    }
}

TEST(NotifyIconData, TipBytesAreCopiedUnchanged)
{
    const std::string utf8 = "Tess\xC3\xA4ly"; // text arrives in the code page already
    const auto data = BuildNotifyIconData(0, 0, utf8, 0);
    EXPECT_EQ(NotifyIconTip(data), utf8);
}
