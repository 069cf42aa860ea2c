#pragma once

// Window messages over D-Bus: a window of class C is the object /org/tessaly/Window (interface
// org.tessaly.Window) of whoever owns the name org.tessaly.WindowClass.C; its handle is the
// owner's unique name.

#include "publisher/WindowMessages.h"

#include <map>
#include <memory>
#include <QDBusConnection>
#include <QString>
#include <string>
#include <string_view>

class QDBusServiceWatcher;

namespace tessaly {

inline constexpr char kWindowObjectPath[] = "/org/tessaly/Window";
inline constexpr char kWindowInterface[] = "org.tessaly.Window";
inline constexpr char kWindowClassPrefix[] = "org.tessaly.WindowClass.";

// The well-known bus name of a window class: characters outside [A-Za-z0-9_], and a leading
// digit (which a bus name element may not start with), are written as _XX in hex. Empty for an
// empty class name, which no window can have.
QString WindowClassBusName(std::string_view className);

// Used on one thread, the one that made it: the owners it watches are told to that thread's
// objects, and taken in at each FindWindowA whether or not the thread runs an event loop.
class DBusWindowMessages final : public WindowMessages {
public:
    explicit DBusWindowMessages(QDBusConnection bus);
    ~DBusWindowMessages() override;
    DBusWindowMessages(const DBusWindowMessages&) = delete;
    DBusWindowMessages& operator=(const DBusWindowMessages&) = delete;

    // The window name is not looked at: a class has one window, its name's owner. The owner is
    // remembered and its name watched, so that the bus daemon is asked only while the class has
    // no known owner.
    WindowHandle FindWindowA(const char* className, const char* windowName) override;
    std::intptr_t SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                      std::uintptr_t wParam, std::intptr_t lParam,
                                      std::chrono::milliseconds timeout) override;
    // All in flight at once: the bus delivers one sender's messages to a receiver in the order
    // sent and the window handles them in that order. When the window's owner has left the bus
    // since it was found (a Messenger restarted), its class's new owner gets them.
    void SendMessagesTimeoutA(const WindowHandle& window, std::span<const WindowMessage> messages,
                              std::chrono::milliseconds timeout) override;

private:
    struct WindowClass {
        std::unique_ptr<QDBusServiceWatcher> watcher;
        QString owner; // empty: none known, ask the daemon
    };
    enum class Delivery { Done, OwnerGone };

    WindowClass& watch(const QString& busName);
    QString lookUpOwner(const QString& busName);
    Delivery sendAll(const QString& destination, std::span<const WindowMessage> messages,
                     std::chrono::milliseconds timeout);

    QDBusConnection bus_;
    std::map<QString, WindowClass> classes_;
    // The class each handed-out handle was found for, so that a gone owner can be replaced.
    std::map<std::string, QString> classOfOwner_;
};

} // namespace tessaly
