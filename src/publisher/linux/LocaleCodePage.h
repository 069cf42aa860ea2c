#pragma once

// The ANSI code page on Linux: the codeset of the user's locale, through iconv.

#include "publisher/AnsiCodePage.h"

#include <string>

namespace tessaly {

class LocaleCodePage final : public AnsiCodePage {
public:
    // The codeset of the environment's LC_CTYPE locale.
    LocaleCodePage();
    // A named iconv codeset, e.g. "UTF-8" or "ISO-8859-1".
    explicit LocaleCodePage(std::string codeset);

    const std::string& codeset() const { return codeset_; }
    std::string FromUnicode(std::u16string_view text) const override;
    std::u16string ToUnicode(std::string_view bytes) const override;

private:
    std::string codeset_;
};

// The codeset the environment's locale names; the C locale counts as UTF-8, as it does for Qt,
// since plain ASCII would turn every accented title into question marks.
std::string LocaleCodeset();

} // namespace tessaly
