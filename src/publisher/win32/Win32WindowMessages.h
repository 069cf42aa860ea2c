#pragma once

// Top-level windows of the running Windows session: FindWindowA, and SendMessageTimeoutA with
// SMTO_ABORTIFHUNG so that a Messenger that stops answering cannot hold Tessaly up for long.

#include "publisher/WindowMessages.h"

#include <cstdint>

namespace tessaly {

class Win32WindowMessages final : public WindowMessages {
public:
    WindowHandle FindWindowA(const char* className, const char* windowName) override;
    std::intptr_t SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                      std::uintptr_t wParam, std::intptr_t lParam,
                                      std::chrono::milliseconds timeout) override;
};

// The token of a window handle (its value in decimal), and back. A zero value is the null
// window; a token that is not a handle's decimal value reads as 0.
WindowHandle WindowHandleFromValue(std::uintptr_t hwnd);
std::uintptr_t WindowHandleValue(const WindowHandle& window);

} // namespace tessaly
