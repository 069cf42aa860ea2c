#pragma once

// The status text of one refresh: the user's format string with its tokens expanded, cleaned.

#include <string>
#include <string_view>

// Expands "%A" (artist), then "%L" (album), then "%T" (title), each on the result of the one
// before, case-sensitively, and returns the cleaned result.
std::u16string FormatStatus(std::u16string_view sFormat, std::u16string_view sArtist,
                            std::u16string_view sAlbum, std::u16string_view sTitle);
