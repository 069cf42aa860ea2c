#pragma once

// A private D-Bus session bus for one test fixture: a real dbus-daemon, gone with the object.
// Child processes started while it lives find it through DBUS_SESSION_BUS_ADDRESS.

#include <QDBusConnection>
#include <QProcess>
#include <QString>

namespace tessaly::test {

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }
    // A fresh connection of this process to the private bus.
    QDBusConnection connect(const QString& connectionName);

private:
    QProcess daemon_;
    QString address_;
    QByteArray previousAddress_;
    QStringList connectionNames_;
};

} // namespace tessaly::test
