#include "popup/AlertLoad.h"

#include "popup/Mnemonic.h"
#include "popup/PopupAlerts.h"

#include <gtest/gtest.h>

namespace {

using namespace tessaly;

TEST(AlertLoad, PlacesTheWindowAtTheBottomRightAsIfItWereItsDesignWidth)
{
    const AlertPlacement p = LoadPlacement(1280 * 15, 774);
    EXPECT_EQ(p.left, 1280 * 15 - 3735);
    EXPECT_EQ(p.top, 15 * 774 + 300);
    EXPECT_EQ(p.width, 3810);
    EXPECT_EQ(p.height, 90);
    EXPECT_EQ(p.top + p.height, 15 * 774 + 390); // the bottom edge the popup keeps
}

TEST(AlertLoad, AlphaFromTheStoredOpacity)
{
    const struct {
        const char* stored;
        std::optional<std::int16_t> alpha;
    } cases[] = {
        {"100", 255},
        {"50", 128},
        {"0", 0},
        {"80", 204},
        {"30", 76},
        {"101", 258}, // beyond 255: SetOpacity leaves it opaque
        {"-1", -3},   // below 0: likewise
        {"abc", 204},
        {"", 204},
        {"12.5", 204},           // not a whole number: the default 80
        {"20000", std::nullopt}, // the product would not fit 16 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupAlpha(QString::fromLatin1(c.stored)), c.alpha) << c.stored;
}

TEST(Mnemonic, MarkersHideAndUnderlineDoubledOnesShow)
{
    const struct {
        const char* caption;
        const char* plain;
        const char* rich;
    } cases[] = {
        {"Artist:", "Artist:", "Artist:"},
        {"Simon & Garfunkel", "Simon  Garfunkel", "Simon <u> </u>Garfunkel"},
        {"Simon && Garfunkel", "Simon & Garfunkel", "Simon &amp; Garfunkel"},
        {"&File", "File", "<u>F</u>ile"},
        {"&&&x", "&x", "&amp;<u>x</u>"},
        {"end&", "end", "end"},
        {"<b>\"x\"</b>", "<b>\"x\"</b>", "&lt;b&gt;&quot;x&quot;&lt;/b&gt;"},
        {"Station\r\n\r\nTitle", "Station\r\n\r\nTitle", "Station<br><br>Title"},
        {"a\nb", "a\nb", "a<br>b"},
    };
    const QString open = QStringLiteral("<span style=\"white-space:pre-wrap\">");
    const QString close = QStringLiteral("</span>");
    for (const auto& c : cases) {
        const QString caption = QString::fromUtf8(c.caption);
        EXPECT_EQ(MnemonicPlainText(caption), QString::fromUtf8(c.plain)) << c.caption;
        EXPECT_EQ(MnemonicRichText(caption), open + QString::fromUtf8(c.rich) + close) << c.caption;
    }
}

TEST(Mnemonic, UnderlinesASurrogatePairWhole)
{
    const QString note = QString::fromUtf8("\xF0\x9F\x8E\xB5"); // a character outside the BMP
    EXPECT_EQ(MnemonicRichText(QStringLiteral("&") + note),
              QStringLiteral("<span style=\"white-space:pre-wrap\"><u>") + note +
                  QStringLiteral("</u></span>"));
}

TEST(PopupAlerts, DoublesEveryAmpersand)
{
    EXPECT_EQ(DoubleAmpersands(QStringLiteral("A & B && C")), QStringLiteral("A && B &&&& C"));
    EXPECT_EQ(MnemonicPlainText(DoubleAmpersands(QStringLiteral("R&B & Soul"))),
              QStringLiteral("R&B & Soul"));
}

} // namespace
