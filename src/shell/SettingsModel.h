#pragma once

// The seven settings, their defaults, and the conversion of a stored text to the number a control
// needs.

#include <QString>
#include <cstdint>
#include <optional>

namespace tessaly::settings {

struct Key {
    const char* name;
    const char* defaultText;
    // Range of the control that shows a numeric key; unused for text keys.
    std::int16_t min;
    std::int16_t max;
};

inline constexpr Key kMinimized{"Minimized", "0", 0, 2};
inline constexpr Key kBallons{"Ballons", "1", 0, 2};
inline constexpr Key kOpacity{"Opacity", "80", 0, 100};
inline constexpr Key kMainOpacity{"MainOpacity", "80", 0, 100};
inline constexpr Key kRadioPlayList{"RadioPlayList", "0", 0, 2};
inline constexpr Key kPlaylistFile{"PlaylistFile", "Playlist.txt", 0, 0};
inline constexpr Key kFormat{"Format", "%L: %A - %T", 0, 0};

// A stored text as a 16-bit whole number, or nothing when it is not one.
std::optional<std::int16_t> ParseInt16(const QString& text);

// A stored text as the number a control shows: the key's default when it does not parse,
// clamped into the control's range otherwise. Never fails.
std::int16_t ToControlValue(const QString& stored, const Key& key);

} // namespace tessaly::settings
