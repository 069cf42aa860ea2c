#include "shell/SettingsModel.h"

#include <algorithm>
#include <limits>

namespace tessaly::settings {

std::optional<std::int16_t> ParseInt16(const QString& text)
{
    // A whole number in decimal, optionally signed and surrounded by blanks; nothing else.
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        negative = trimmed[i] == u'-';
        ++i;
    }
    if (i == trimmed.size())
        return std::nullopt;
    long value = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<std::int16_t>::max() + 1L)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::int16_t ToControlValue(const QString& stored, const Key& key)
{
    std::optional<std::int16_t> value = ParseInt16(stored);
    if (!value)
        value = ParseInt16(QString::fromLatin1(key.defaultText));
    if (!value)
        return key.min;
    return std::clamp(*value, key.min, key.max);
}

} // namespace tessaly::settings
