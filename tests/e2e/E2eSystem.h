#pragma once

// The whole system as separate processes on a private bus and in a throw-away home: the demo
// player, the Messenger stand-in and tessaly, with helpers to drive and inspect them.

#include "support/ProgramUnderTest.h"

#include <memory>
#include <QDBusMessage>
#include <QVariantMap>

namespace tessaly::test {

inline constexpr char kE2eUser[] = "e2e";

// ProgramUnderTest with the stand-in signed in as "e2e", the hostile player and the program's
// files in its home.
class E2eSystem : public ProgramUnderTest {
public:
    E2eSystem();
    ~E2eSystem();

    // tessaly itself, in a small sanitizer quarantine and as TESSALY_E2E_PROGRAM names it when set.
    bool startTessaly(const QStringList& extraEnvironment = {});
    // The hostile MPRIS player (tools/hostile-player); waits until it owns its names.
    bool startHostile(const QString& name = QStringLiteral("hostile"));

    ChildProcess& hostile() { return *hostile_; }

    QVariantMap playerMetadata();
    // A method of the hostile player's control interface; the reply, or an error message.
    QDBusMessage hostileCall(const QString& method, const QVariantList& arguments = {});
    // One round trip through tessaly's user-interface thread: the hostile player signals an
    // unchanged state and times the read that tessaly's debounce makes of it. Milliseconds from
    // the signal to the read (debounce included), or -1 when no read came within timeoutMs.
    int probeMs(int timeoutMs);

    QString registryPath() const;
    QString settingsPath() const;
    QString programFolder() const;
    void writeSettings(const QString& iniText) const;
    // Another process (sqlite3) takes the registry's write lock and holds it for six seconds,
    // longer than tessaly's busy timeout; true once it holds it.
    bool lockRegistry();
    // Waits until that process has let go of the lock and ended.
    bool waitForRegistryUnlocked(int timeoutMs) { return locker_->waitForExit(timeoutMs); }

private:
    std::unique_ptr<ChildProcess> hostile_;
    std::unique_ptr<ChildProcess> locker_;
    QString hostileName_;
};

} // namespace tessaly::test
