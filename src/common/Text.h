#pragma once

// Conversions between the core's UTF-16 text and the UTF-8 the edges speak (logs, file names,
// the command line). Ill-formed input never throws: a broken sequence becomes U+FFFD.

#include <string>
#include <string_view>

namespace tessaly {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The text without the ASCII blanks (space, tab, line breaks) around it, as a hand-edited setting
// may carry them around a number.
std::u16string_view TrimBlanks(std::u16string_view text);

// The two halves of a surrogate pair: the first (high) and the second (low).
constexpr bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The length of the longest start of `text` that is at most `limit` units and does not end
// between the two halves of a surrogate pair.
std::size_t WholeCharactersWithin(std::u16string_view text, std::size_t limit);

// A whole number as decimal text, as the settings store keeps numbers.
std::u16string NumberText(long long value);

} // namespace tessaly
