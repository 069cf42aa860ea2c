// Where the core's UTF-16 text and twips meet Qt's types: nothing lost on the way.

#include "common/qt/QtText.h"
#include "common/qt/QtTwips.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(QtText, TextCrossesBothWaysUnchanged)
{
    const std::u16string texts[] = {
        u"",
        u"Artist - Title",
        std::u16string(u"a\0b", 3),
        u"Bj\u00F6rk \u266B \U0001F3B5",
        u"\xD83C lone surrogate",
    };
    for (const std::u16string& text : texts) {
        const QString q = ToQString(text);
        EXPECT_EQ(q.size(), static_cast<qsizetype>(text.size()));
        EXPECT_EQ(ToU16(q), text);
    }
    EXPECT_EQ(ToQString(std::u16string_view(u"abcdef").substr(1, 3)), QStringLiteral("bcd"))
        << "a view is read to its own end, not to a terminator";
}

TEST(QtTwips, RectanglesUseTheCoreRounding)
{
    EXPECT_EQ(TwipsQRect(120, 1695, 1335, 285), QRect(8, 113, 89, 19));
    const QRect a = TwipsQRect(0, 0, 1342, 8);
    const QRect b = TwipsQRect(1342, 0, 100, 8);
    EXPECT_EQ(a.x() + a.width(), b.x()) << "neighbours touch";
}

} // namespace
} // namespace tessaly
