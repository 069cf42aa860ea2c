#pragma once

// Tessaly with its stand-ins as separate processes, in a throw-away home and on a private bus:
// the demo player, the Messenger stand-in signed in as "im", and tessaly itself.

#include "support/ChildProcess.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"

#include <memory>
#include <QDBusConnection>
#include <QVariantList>

namespace tessaly::test {

class ProgramUnderTest {
public:
    ProgramUnderTest();
    ~ProgramUnderTest();

    bool busRunning() const { return bus_.isRunning(); }

    // Each waits until its process is on the bus (the stand-in: owns its window class).
    bool startMessenger();
    bool startPlayer();
    bool startTessaly();

    ChildProcess& tessaly() { return *tessaly_; }

    // MPRIS Player methods ("Play", "Next") and the demo player's own ("SwitchToRadio", ...).
    bool playerCall(const QString& method);
    bool controlCall(const QString& method, const QVariantList& arguments = {});

    // Statuses the stand-in has taken up so far.
    QStringList statuses() const;
    bool waitForStatusAfter(qsizetype count, int timeoutMs);
    QString lastStatus() const;
    // Custom message "1" of the stand-in's profile, as tessaly-reg reads it.
    QString registryStatus();

private:
    bool call(const QString& service, const QString& path, const QString& interface,
              const QString& method, const QVariantList& arguments);

    PrivateBus bus_;
    TempHome home_;
    QDBusConnection connection_;
    std::unique_ptr<ChildProcess> messenger_;
    std::unique_ptr<ChildProcess> player_;
    std::unique_ptr<ChildProcess> tessaly_;
};

} // namespace tessaly::test
