#pragma once

// The system's ANSI code page, in which every "A" call takes and gives its texts.
// Standard C++ only.

#include <string>
#include <string_view>

namespace tessaly {

class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // Characters the code page cannot hold become '?'.
    virtual std::string FromUnicode(std::u16string_view text) const = 0;
    // Bytes that are not valid in the code page become U+FFFD.
    virtual std::u16string ToUnicode(std::string_view bytes) const = 0;
};

} // namespace tessaly
