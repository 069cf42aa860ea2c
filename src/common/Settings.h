#pragma once

// The per-user settings store (named text values under application "Tessaly", section
// "Settings"), its seven keys with their defaults, and the conversion of a stored text to the
// number a control shows.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text of key, or defaultValue when the key is absent.
    virtual std::u16string read(std::u16string_view key,
                                std::u16string_view defaultValue) const = 0;
    // Creates or replaces the value; on disk before this returns. A write that fails is reported
    // by the store and costs nothing else.
    virtual void write(std::u16string_view key, std::u16string_view text) = 0;
};

// A store in memory, for tests and for tools that must not touch the user's settings.
class MemorySettingsStore : public SettingsStore {
public:
    std::u16string read(std::u16string_view key, std::u16string_view defaultValue) const override;
    void write(std::u16string_view key, std::u16string_view text) override;
    const std::map<std::u16string, std::u16string, std::less<>>& values() const { return values_; }

private:
    std::map<std::u16string, std::u16string, std::less<>> values_;
};

namespace settings {

struct Key {
    std::u16string_view name;
    std::u16string_view defaultText;
    // Range of the control that shows a numeric key; unused for text keys.
    std::int16_t min;
    std::int16_t max;
};

inline constexpr Key kMinimized{u"Minimized", u"0", 0, 2};
inline constexpr Key kBallons{u"Ballons", u"1", 0, 2};
inline constexpr Key kOpacity{u"Opacity", u"80", 0, 100};
inline constexpr Key kMainOpacity{u"MainOpacity", u"80", 0, 100};
inline constexpr Key kRadioPlayList{u"RadioPlayList", u"0", 0, 2};
inline constexpr Key kPlaylistFile{u"PlaylistFile", u"Playlist.txt", 0, 0};
inline constexpr Key kFormat{u"Format", u"%L: %A - %T", 0, 0};

// A stored text as a 16-bit whole number (decimal, optionally signed, blanks around allowed), or
// nothing when it is not one.
std::optional<std::int16_t> ParseInt16(std::u16string_view text);

// A stored text as the number a control shows: the key's default when it does not parse,
// clamped into the control's range otherwise. Never fails.
std::int16_t ToControlValue(std::u16string_view stored, const Key& key);

// The key's stored text, or its default.
std::u16string Read(const SettingsStore& store, const Key& key);
// The key's stored text as the number its control shows.
std::int16_t ReadControlValue(const SettingsStore& store, const Key& key);

} // namespace settings

} // namespace tessaly
