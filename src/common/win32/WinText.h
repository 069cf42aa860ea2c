#pragma once

// UTF-16 texts of the core in and out of the "W" calls: on Windows wchar_t is the same 16-bit
// unit, so only the type changes.

#include <string>
#include <string_view>
#include <windows.h>

namespace tessaly {

inline std::wstring ToWide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

// The window's text, whole.
inline std::u16string WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return FromWide(text);
}

// The folder of the running program, without a trailing separator.
std::u16string ProgramFolder();

} // namespace tessaly
