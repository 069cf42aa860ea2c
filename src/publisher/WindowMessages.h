#pragma once

// Finding a top-level window by class and sending it a message, shaped like FindWindowA and
// SendMessageTimeoutA. Standard C++ only.

#include <chrono>
#include <cstdint>
#include <exception>
#include <span>
#include <string>

namespace tessaly {

inline constexpr std::uint32_t kWmCommand = 0x0111;

// Opaque to callers: the D-Bus backend keeps the owner's unique bus name here, the Win32 backend
// the HWND's value. An empty token is the null window.
struct WindowHandle {
    std::string token;
    bool isNull() const { return token.empty(); }
    friend bool operator==(const WindowHandle&, const WindowHandle&) = default;
};

struct WindowMessage {
    std::uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class WindowMessages {
public:
    virtual ~WindowMessages() = default;

    // The window of class className (windowName null: any title), or the null window.
    virtual WindowHandle FindWindowA(const char* className, const char* windowName) = 0;
    // Delivers msg synchronously and waits at most timeout for the window to handle it.
    // Answers the window's result, or 0 for a null window, a failed send or a timeout.
    virtual std::intptr_t SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                              std::uintptr_t wParam, std::intptr_t lParam,
                                              std::chrono::milliseconds timeout) = 0;
    // Delivers the messages in order, each within timeout, and returns when every one has been
    // handled or has timed out; their results are not wanted. Here they go one after another. A
    // backend whose window takes its messages in the order they were sent has them all in
    // flight at once instead, so that a window that hangs costs one time limit, not one per
    // message. A send that throws does not stop the ones after it; the first failure is thrown
    // once all were sent.
    virtual void SendMessagesTimeoutA(const WindowHandle& window,
                                      std::span<const WindowMessage> messages,
                                      std::chrono::milliseconds timeout)
    {
        std::exception_ptr failure;
        for (const WindowMessage& message : messages) {
            try {
                SendMessageTimeoutA(window, message.msg, message.wParam, message.lParam, timeout);
            } catch (...) {
                if (!failure)
                    failure = std::current_exception();
            }
        }
        if (failure)
            std::rethrow_exception(failure);
    }
};

} // namespace tessaly
