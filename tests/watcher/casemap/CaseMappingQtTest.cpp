// ToLower and ToUpper against QString::toLower and QString::toUpper, for every code point: the
// core's table was made from Qt and must give what Qt gives.

#include "watcher/CaseMapping.h"

#include <gtest/gtest.h>
#include <QString>
#include <string>

namespace {

using tessaly::text::ToLower;
using tessaly::text::ToUpper;

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr int kMaxReported = 20;

bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

std::u16string Units(const QString& s)
{
    return s.toStdU16String();
}

// Reports each code point that maps differently, up to a limit.
void ReportEach(bool upper)
{
    int reported = 0;
    for (char32_t c = 0; c <= kLastCodePoint && reported < kMaxReported; ++c) {
        if (IsSurrogate(c))
            continue;
        const QString q = QString::fromUcs4(&c, 1);
        const std::u16string mapped = upper ? ToUpper(Units(q)) : ToLower(Units(q));
        if (mapped != Units(upper ? q.toUpper() : q.toLower())) {
            ADD_FAILURE() << (upper ? "upper" : "lower") << " case of U+" << std::hex
                          << unsigned(c);
            ++reported;
        }
    }
}

// Both map each code point on its own (Qt does for well-formed text), and no mapping gives U+0000:
// so one text of all code points, each followed by U+0000, compares them all one by one at the
// cost of a single call. The slow search for the culprits runs only on a difference.
TEST(CaseMappingAgainstQt, EveryCodePointMapsAsInQt)
{
    std::u32string all;
    for (char32_t c = 0; c <= kLastCodePoint; ++c) {
        if (!IsSurrogate(c)) {
            all.push_back(c);
            all.push_back(U'\0');
        }
    }
    const QString q = QString::fromUcs4(all.data(), static_cast<qsizetype>(all.size()));
    const std::u16string text = Units(q);
    if (ToLower(text) != Units(q.toLower()))
        ReportEach(false);
    if (ToUpper(text) != Units(q.toUpper()))
        ReportEach(true);
}

// Qt 6.4 keeps a lone surrogate only while nothing before it has changed case (it replaces the
// later ones by U+FFFD); the core always keeps it. So compare only where Qt keeps it: alone, and
// before a letter that changes.
TEST(CaseMappingAgainstQt, LoneSurrogatesAreKept)
{
    for (char16_t u = 0xD800; u <= 0xDFFF; ++u) {
        const QString alone(QChar{u});
        const QString beforeLetter = alone + QStringLiteral("Ab");
        EXPECT_EQ(ToLower(Units(alone)), Units(alone.toLower())) << std::hex << unsigned(u);
        EXPECT_EQ(ToUpper(Units(alone)), Units(alone.toUpper())) << std::hex << unsigned(u);
        EXPECT_EQ(ToLower(Units(beforeLetter)), Units(beforeLetter.toLower()))
            << std::hex << unsigned(u);
        EXPECT_EQ(ToUpper(Units(beforeLetter)), Units(beforeLetter.toUpper()))
            << std::hex << unsigned(u);
        EXPECT_EQ(ToLower(Units(alone)), Units(alone)) << std::hex << unsigned(u);
    }
}

} // namespace
