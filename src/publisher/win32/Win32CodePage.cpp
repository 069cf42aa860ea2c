#include "publisher/win32/Win32CodePage.h"

#include <climits>
#include <windows.h>

namespace tessaly {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

// UTF-8 and UTF-7 accept neither the best-fit switch nor a default character.
bool IsUtfCodePage(unsigned codePage)
{
    return codePage == CP_UTF8 || codePage == CP_UTF7;
}

int ClampedLength(std::size_t size)
{
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

// One conversion of a whole run, or an empty result with false when the run is invalid.
bool ConvertStrict(unsigned codePage, const char* bytes, int length, std::u16string& out)
{
    const DWORD flags = MB_ERR_INVALID_CHARS;
    const int needed = ::MultiByteToWideChar(codePage, flags, bytes, length, nullptr, 0);
    if (needed <= 0)
        return false;
    std::u16string text(static_cast<std::size_t>(needed), u'\0');
    if (::MultiByteToWideChar(codePage, flags, bytes, length,
                              reinterpret_cast<wchar_t*>(text.data()), needed) != needed)
        return false;
    out += text;
    return true;
}

} // namespace

Win32CodePage::Win32CodePage(unsigned codePage)
    : codePage_(codePage == CP_ACP ? ::GetACP() : codePage)
{}

std::string Win32CodePage::FromUnicode(std::u16string_view text) const
{
    if (text.empty())
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = ClampedLength(text.size());
    const DWORD flags = IsUtfCodePage(codePage_) ? 0 : WC_NO_BEST_FIT_CHARS;
    const int needed =
        ::WideCharToMultiByte(codePage_, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string(text.size(), '?');
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage_, flags, wide, length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::u16string Win32CodePage::ToUnicode(std::string_view bytes) const
{
    if (bytes.empty())
        return {};
    std::u16string text;
    if (IsUtfCodePage(codePage_)) {
        // Windows itself puts U+FFFD for every invalid UTF-8 sequence.
        const int length = ClampedLength(bytes.size());
        const int needed = ::MultiByteToWideChar(codePage_, 0, bytes.data(), length, nullptr, 0);
        text.resize(static_cast<std::size_t>(needed > 0 ? needed : 0));
        if (needed > 0)
            ::MultiByteToWideChar(codePage_, 0, bytes.data(), length,
                                  reinterpret_cast<wchar_t*>(text.data()), needed);
        return text;
    }
    if (ConvertStrict(codePage_, bytes.data(), ClampedLength(bytes.size()), text))
        return text;
    // Somewhere a byte is invalid: go character by character (one or two bytes each) so that
    // only the bad ones are lost.
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<BYTE>(bytes[i]);
        const std::size_t width =
            ::IsDBCSLeadByteEx(codePage_, byte) && i + 1 < bytes.size() ? 2 : 1;
        if (!ConvertStrict(codePage_, bytes.data() + i, static_cast<int>(width), text))
            text += u'\uFFFD';
        i += width;
    }
    return text;
}

} // namespace tessaly
