// Access-key captions as the rich text the popup's labels show.

#include "popup/qt/MnemonicRichText.h"

#include <gtest/gtest.h>

namespace {

using tessaly::MnemonicRichText;

QString Wrapped(const QString& body)
{
    return QStringLiteral("<span style=\"white-space:pre-wrap\">") + body +
           QStringLiteral("</span>");
}

TEST(MnemonicRichText, MarkersUnderlineDoubledOnesShowAndTheRestIsEscaped)
{
    const struct {
        const char* caption;
        const char* rich;
    } cases[] = {
        {"Artist:", "Artist:"},
        {"Simon & Garfunkel", "Simon <u> </u>Garfunkel"},
        {"Simon && Garfunkel", "Simon &amp; Garfunkel"},
        {"&File", "<u>F</u>ile"},
        {"&&&x", "&amp;<u>x</u>"},
        {"end&", "end"},
        {"<b>\"x\"</b>", "&lt;b&gt;&quot;x&quot;&lt;/b&gt;"},
        {"&<", "<u>&lt;</u>"},
        {"Station\r\n\r\nTitle", "Station<br><br>Title"},
        {"a\nb", "a<br>b"},
        {"a\rb", "a<br>b"},
        {"a\n\rb", "a<br><br>b"},
        {"  two  blanks", "  two  blanks"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MnemonicRichText(QString::fromUtf8(c.caption)),
                  Wrapped(QString::fromUtf8(c.rich)))
            << c.caption;
}

TEST(MnemonicRichText, UnderlinesASurrogatePairWhole)
{
    const QString note = QString::fromUtf8("\xF0\x9F\x8E\xB5"); // a character outside the BMP
    EXPECT_EQ(MnemonicRichText(QStringLiteral("&") + note),
              Wrapped(QStringLiteral("<u>") + note + QStringLiteral("</u>")));
}

} // namespace
