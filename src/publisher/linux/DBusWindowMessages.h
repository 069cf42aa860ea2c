#pragma once

// Window messages over D-Bus: a window of class C is the object /org/tessaly/Window (interface
// org.tessaly.Window) of whoever owns the name org.tessaly.WindowClass.C; its handle is the
// owner's unique name.

#include "publisher/WindowMessages.h"

#include <QDBusConnection>
#include <QString>
#include <string_view>

namespace tessaly {

inline constexpr char kWindowObjectPath[] = "/org/tessaly/Window";
inline constexpr char kWindowInterface[] = "org.tessaly.Window";
inline constexpr char kWindowClassPrefix[] = "org.tessaly.WindowClass.";

// The well-known bus name of a window class: characters outside [A-Za-z0-9_], and a leading
// digit (which a bus name element may not start with), are written as _XX in hex. Empty for an
// empty class name, which no window can have.
QString WindowClassBusName(std::string_view className);

class DBusWindowMessages final : public WindowMessages {
public:
    explicit DBusWindowMessages(QDBusConnection bus) : bus_(std::move(bus)) {}

    // The window name is not looked at: a class has one window, its name's owner.
    WindowHandle FindWindowA(const char* className, const char* windowName) override;
    std::intptr_t SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                      std::uintptr_t wParam, std::intptr_t lParam,
                                      std::chrono::milliseconds timeout) override;

private:
    QDBusConnection bus_;
};

} // namespace tessaly
