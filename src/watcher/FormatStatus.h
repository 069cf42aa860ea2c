#pragma once

// The status text of one refresh: the user's format string with its tokens expanded, cleaned.

#include <cstddef>
#include <string>
#include <string_view>

// The longest status the expansion makes. A player's text is substituted into, so a station name
// full of "%T" would multiply the title; the cut stops that well above what a real track reaches
// (the user's "%L: %A - %T" with each field at the 4,096 units a player may send).
inline constexpr std::size_t kMaxStatusUnits = 16 * 1024;

// Expands "%A" (artist), then "%L" (album), then "%T" (title), each on the result of the one
// before, case-sensitively, cut to kMaxStatusUnits at a whole character.
std::u16string ExpandStatusTokens(std::u16string_view sFormat, std::u16string_view sArtist,
                                  std::u16string_view sAlbum, std::u16string_view sTitle);

// The expanded format, cleaned.
std::u16string FormatStatus(std::u16string_view sFormat, std::u16string_view sArtist,
                            std::u16string_view sAlbum, std::u16string_view sTitle);
