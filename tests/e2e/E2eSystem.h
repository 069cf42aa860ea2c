#pragma once

// The whole system as separate processes on a private bus and in a throw-away home: the demo
// player, the Messenger stand-in and tessaly, with helpers to drive and inspect them.

#include "support/ChildProcess.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"

#include <memory>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace tessaly::test {

class E2eSystem {
public:
    E2eSystem();
    ~E2eSystem();

    bool busRunning() const { return bus_.isRunning(); }
    const TempHome& home() const { return home_; }

    // The Messenger stand-in signed in as "e2e"; waits until it owns the window class.
    bool startMessenger(const QStringList& extraArguments = {});
    // The demo player, stopped unless told otherwise; waits until it is on the bus.
    bool startPlayer(const QStringList& arguments = {QStringLiteral("--stopped")});
    // tessaly itself; waits until its first line of life (the player connection) or a moment.
    bool startTessaly(const QStringList& extraEnvironment = {});
    // The hostile MPRIS player (tools/hostile-player); waits until it owns its names.
    bool startHostile(const QString& name = QStringLiteral("hostile"));

    ChildProcess& messenger() { return *messenger_; }
    ChildProcess& player() { return *player_; }
    ChildProcess& tessaly() { return *tessaly_; }
    ChildProcess& hostile() { return *hostile_; }

    // A method of the demo player: MPRIS Player methods ("Next", "Play", ...) or its control
    // interface ("Burst", "SwitchToRadio", ...).
    bool playerCall(const QString& method, const QVariantList& arguments = {});
    bool controlCall(const QString& method, const QVariantList& arguments = {});
    QVariantMap playerMetadata();
    // A method of the hostile player's control interface; the reply, or an error message.
    QDBusMessage hostileCall(const QString& method, const QVariantList& arguments = {});
    // One round trip through tessaly's user-interface thread: the hostile player signals an
    // unchanged state and times the read that tessaly's debounce makes of it. Milliseconds from
    // the signal to the read (debounce included), or -1 when no read came within timeoutMs.
    int probeMs(int timeoutMs);

    // Statuses the Messenger stand-in has taken up so far.
    QStringList statuses() const;
    // Waits for more than `count` statuses; answers the newest.
    bool waitForStatusAfter(qsizetype count, int timeoutMs);
    QString lastStatus() const;

    // Value "1" of the stand-in's Custom Msgs, read with tessaly-reg; empty when absent.
    QString registryStatus();
    QString registryPath() const;
    QString settingsPath() const;
    QString programFolder() const;
    void writeSettings(const QString& iniText) const;

private:
    PrivateBus bus_;
    TempHome home_;
    QDBusConnection connection_;
    std::unique_ptr<ChildProcess> messenger_;
    std::unique_ptr<ChildProcess> player_;
    std::unique_ptr<ChildProcess> tessaly_;
    std::unique_ptr<ChildProcess> hostile_;
    QString hostileName_;
};

inline constexpr char kE2eUser[] = "e2e";

} // namespace tessaly::test
