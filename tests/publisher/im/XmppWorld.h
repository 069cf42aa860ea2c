#pragma once

// A real messenger world for one test, all on 127.0.0.1: a Prosody server on a free port with two
// accounts that are each other's contacts, a display of its own (Xvfb), Pidgin on it signed in as
// alice, and bob as a slixmpp client printing every presence he receives. Pidgin uses the session
// bus named by DBUS_SESSION_BUS_ADDRESS when it starts, and the HOME of the test.

#include "support/ChildProcess.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QDBusConnection>
#include <QTemporaryDir>
#include <QVariantList>
#include <vector>

namespace tessaly::test {

// One presence of alice's as bob received it.
struct Presence {
    QString type; // "available", "away", "unavailable", ...
    QString show; // "", "away", "xa", "dnd", "chat"
    QString status;
    // When bob's client read it, on the steady (CLOCK_MONOTONIC) clock.
    std::chrono::steady_clock::time_point at;
};

class XmppWorld {
public:
    XmppWorld();
    ~XmppWorld();

    // Prosody, the display and bob; false (with the reason in why()) when one did not come up.
    bool start();
    // Pidgin, waiting until alice is signed in and bob has seen her.
    bool startPidgin();
    void killPidgin();
    bool pidginRunning() const { return pidgin_ && pidgin_->isRunning(); }

    // A method of libpurple's D-Bus interface in the running Pidgin; an invalid variant on error.
    QVariant purple(const QString& method, const QVariantList& arguments = {});

    std::vector<Presence> presences() const;
    // Waits for a presence of alice's after the first `after` that satisfies the predicate.
    std::optional<Presence> waitForPresence(const std::function<bool(const Presence&)>& matches,
                                            std::size_t after, int timeoutMs);
    std::optional<Presence> waitForStatus(const QString& status, std::size_t after, int timeoutMs);

    const QString& why() const { return why_; }
    QString display() const { return QStringLiteral(":") + display_; }
    ChildProcess* pidgin() { return pidgin_.get(); }

private:
    bool fail(const QString& why);
    bool pidginSignedIn();
    QDBusConnection& bus();

    QTemporaryDir dir_;
    int port_ = 0;
    QString display_;
    QString why_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> xvfb_;
    std::unique_ptr<ChildProcess> watcher_;
    std::unique_ptr<ChildProcess> pidgin_;
    std::optional<QDBusConnection> bus_;
    QString busName_;
};

} // namespace tessaly::test
