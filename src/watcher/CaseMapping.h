#pragma once

// Lower and upper case of UTF-16 text, the same on every platform and in every locale: the
// mappings of Qt's QString::toLower and QString::toUpper, from a table made once from Qt.

#include <string>
#include <string_view>

namespace tessaly::text {

// Each code point maps on its own, without context, and may give more units than it takes: "ß" to
// upper case is "SS", "İ" to lower case is "i" and a combining dot. A surrogate pair maps as the
// code point it encodes; a lone surrogate is kept as it is.
std::u16string ToLower(std::u16string_view s);
std::u16string ToUpper(std::u16string_view s);

} // namespace tessaly::text
