#pragma once

// Literal text replacement with the semantics the status text relies on.

#include <string>
#include <string_view>

namespace tessaly::text {

// Replaces every non-overlapping occurrence of `x` in `text` by `y`, scanning left to right in one
// pass; replaced text is not scanned again. An empty `x` changes nothing. Linear in the length of
// `text` plus the length of `x`.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view x, std::u16string_view y);

// The same, with the result cut to at most `maxUnits` units at a whole character: text whose
// replacements multiply its length stops growing there, and the scan stays linear in `text`.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view x, std::u16string_view y,
                          std::size_t maxUnits);

// The same on `text` itself, which is left untouched, without a copy, when `x` does not occur.
// `x` and `y` may view `text`.
void ReplaceAllIn(std::u16string& text, std::u16string_view x, std::u16string_view y);

} // namespace tessaly::text
