#include "common/Settings.h"

#include "common/Text.h"

#include <algorithm>
#include <limits>

namespace tessaly {

std::u16string MemorySettingsStore::read(std::u16string_view key,
                                         std::u16string_view defaultValue) const
{
    const auto it = values_.find(key);
    return std::u16string(it == values_.end() ? defaultValue : std::u16string_view(it->second));
}

void MemorySettingsStore::write(std::u16string_view key, std::u16string_view text)
{
    values_.insert_or_assign(std::u16string(key), std::u16string(text));
}

namespace settings {

std::optional<std::int16_t> ParseInt16(std::u16string_view text)
{
    const std::u16string_view trimmed = TrimBlanks(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        negative = trimmed[i] == u'-';
        ++i;
    }
    if (i == trimmed.size())
        return std::nullopt;
    long value = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i];
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

std::int16_t ToControlValue(std::u16string_view stored, const Key& key)
{
    std::optional<std::int16_t> value = ParseInt16(stored);
    if (!value)
        value = ParseInt16(key.defaultText);
    if (!value)
        return key.min;
    return std::clamp(*value, key.min, key.max);
}

std::u16string Read(const SettingsStore& store, const Key& key)
{
    return store.read(key.name, key.defaultText);
}

std::int16_t ReadControlValue(const SettingsStore& store, const Key& key)
{
    return ToControlValue(Read(store, key), key);
}

} // namespace settings

} // namespace tessaly
