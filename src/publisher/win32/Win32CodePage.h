#pragma once

// Texts in a Windows code page, by default the system's ANSI code page (CP_ACP) that every "A"
// call uses.

#include "publisher/AnsiCodePage.h"

namespace tessaly {

class Win32CodePage final : public AnsiCodePage {
public:
    // 0 is CP_ACP, resolved to the system's code page when the object is made.
    explicit Win32CodePage(unsigned codePage = 0);

    unsigned codePage() const { return codePage_; }
    // No best-fit mapping: a character the code page lacks becomes '?', never a look-alike.
    std::string FromUnicode(std::u16string_view text) const override;
    // Embedded NULs are kept; each invalid byte sequence becomes one U+FFFD.
    std::u16string ToUnicode(std::string_view bytes) const override;

private:
    unsigned codePage_;
};

} // namespace tessaly
