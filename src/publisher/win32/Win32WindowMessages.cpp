#include "publisher/win32/Win32WindowMessages.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <windows.h>

namespace tessaly {

WindowHandle WindowHandleFromValue(std::uintptr_t hwnd)
{
    return hwnd == 0 ? WindowHandle{} : WindowHandle{std::to_string(hwnd)};
}

std::uintptr_t WindowHandleValue(const WindowHandle& window)
{
    std::uintptr_t value = 0;
    const char* first = window.token.data();
    const char* last = first + window.token.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last ? value : 0;
}

WindowHandle Win32WindowMessages::FindWindowA(const char* className, const char* windowName)
{
    return WindowHandleFromValue(
        reinterpret_cast<std::uintptr_t>(::FindWindowA(className, windowName)));
}

std::intptr_t Win32WindowMessages::SendMessageTimeoutA(const WindowHandle& window,
                                                       std::uint32_t msg, std::uintptr_t wParam,
                                                       std::intptr_t lParam,
                                                       std::chrono::milliseconds timeout)
{
    const auto hwnd = reinterpret_cast<HWND>(WindowHandleValue(window));
    if (hwnd == nullptr)
        return 0;
    const auto limit = static_cast<UINT>(
        std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 0x7FFFFFFF));
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, limit, &result) == 0)
        return 0;
    return static_cast<std::intptr_t>(result);
}

} // namespace tessaly
