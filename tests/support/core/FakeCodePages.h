#pragma once

// Code pages for the core's suites, with no platform behind them: UTF-8, and ISO 8859-1, in which a
// character can be missing.

#include "common/Text.h"
#include "publisher/AnsiCodePage.h"

namespace tessaly::test {

class Utf8CodePage final : public AnsiCodePage {
public:
    std::string FromUnicode(std::u16string_view text) const override { return Utf16ToUtf8(text); }
    std::u16string ToUnicode(std::string_view bytes) const override { return Utf8ToUtf16(bytes); }
};

class Latin1CodePage final : public AnsiCodePage {
public:
    std::string FromUnicode(std::u16string_view text) const override
    {
        std::string bytes;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            // A surrogate pair is one character: one '?'.
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        }
        return bytes;
    }
    std::u16string ToUnicode(std::string_view bytes) const override
    {
        std::u16string text;
        for (const char b : bytes)
            text.push_back(static_cast<unsigned char>(b));
        return text;
    }
};

} // namespace tessaly::test
