#pragma once

// Tidying of the status text: title case without the debris of file names and stream titles.

#include <string>
#include <string_view>

namespace Module1 {

// The status text in the form that is shown and published. Any failure gives the empty text.
std::u16string CleanStatusText(std::u16string_view s);

// "yes" when `text` is not empty and its lower-case form contains the lower-case form of
// `fragment`, else "no".
std::u16string ContainsText(std::u16string_view fragment, std::u16string_view text);

} // namespace Module1
