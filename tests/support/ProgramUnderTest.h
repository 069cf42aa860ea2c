#pragma once

// Tessaly with its stand-ins as separate processes, in a throw-away home and on a private bus:
// the demo player, the Messenger stand-in and tessaly itself, with helpers to drive and inspect
// them. Its source goes into each suite that drives the program (tessaly_drive_program), with the
// paths of the programs it starts.

#include "support/ChildProcess.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"

#include <memory>
#include <QDBusConnection>
#include <QVariantList>

namespace tessaly::test {

class ProgramUnderTest {
public:
    // `driver` names the test's own bus connection; the stand-in signs in as `user`.
    ProgramUnderTest(const QString& driver, const char* user);
    ~ProgramUnderTest();

    bool busRunning() const { return bus_.isRunning(); }
    void killBus() { bus_.kill(); }
    const TempHome& home() const { return home_; }

    // The Messenger stand-in; waits until it owns the window class.
    bool startMessenger(const QStringList& extraArguments = {});
    // The demo player, stopped unless told otherwise; waits until it is on the bus.
    bool startPlayer(const QStringList& arguments = {QStringLiteral("--stopped")});
    // tessaly itself; waits until its first line of life (the player connection) or a moment.
    bool startTessaly(const QString& program = QStringLiteral(TESSALY_PROGRAM),
                      const QStringList& environment = {});

    ChildProcess& messenger() { return *messenger_; }
    ChildProcess& player() { return *player_; }
    ChildProcess& tessaly() { return *tessaly_; }

    // A method of the demo player: MPRIS Player methods ("Next", "Play", ...) or its control
    // interface ("Burst", "SwitchToRadio", ...).
    bool playerCall(const QString& method, const QVariantList& arguments = {});
    bool controlCall(const QString& method, const QVariantList& arguments = {});

    // Statuses the Messenger stand-in has taken up so far.
    QStringList statuses() const;
    // Waits for more than `count` statuses; answers the newest.
    bool waitForStatusAfter(qsizetype count, int timeoutMs);
    QString lastStatus() const;
    // Value "1" of the stand-in's Custom Msgs, read with tessaly-reg; empty when absent.
    QString registryStatus();

protected:
    bool call(const QString& service, const QString& path, const QString& interface,
              const QString& method, const QVariantList& arguments);

    PrivateBus bus_;
    TempHome home_;
    QDBusConnection connection_;
    const char* user_;
    std::unique_ptr<ChildProcess> messenger_;
    std::unique_ptr<ChildProcess> player_;
    std::unique_ptr<ChildProcess> tessaly_;
};

} // namespace tessaly::test
