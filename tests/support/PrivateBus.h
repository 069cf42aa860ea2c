#pragma once

// A private D-Bus session bus for one test fixture: a real dbus-daemon, gone with the object.
// Child processes started while it lives find it through DBUS_SESSION_BUS_ADDRESS.

#include <memory>
#include <QDBusConnection>
#include <QProcess>
#include <QString>

class QTemporaryDir;

namespace tessaly::test {

class PrivateBus {
public:
    enum class Admits {
        Owner,     // only this process's user, as a session bus does
        EveryUser, // any local user too: for programs that refuse to run as root (VLC)
    };
    explicit PrivateBus(Admits admits = Admits::Owner);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    // Ends the daemon at once, as a crashed session would, under whoever is connected.
    void kill();
    const QString& address() const { return address_; }
    // A fresh connection of this process to the private bus.
    QDBusConnection connect(const QString& connectionName);

private:
    std::unique_ptr<QTemporaryDir> configDir_;
    QProcess daemon_;
    QString address_;
    QByteArray previousAddress_;
    QStringList connectionNames_;
};

} // namespace tessaly::test
