#pragma once

// A private bus with demo players on it and a player connection recording its events.

#include "support/PrivateBus.h"
#include "watcher/mpris/MprisConnection.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QProcess>
#include <QStringList>
#include <vector>

namespace tessaly::test {

struct RecordedEvent {
    enum Kind { Play, TrackChanged, Quitting } kind;
    QString kindText, artist, album, name;
    QString streamTitle; // the player's CurrentStreamTitle when the event came
};

class EventRecorder : public PlayerEvents {
public:
    explicit EventRecorder(Player& player) : player_(player) {}
    void OnPlayerPlayEvent(const PlayerTrack& t) override { add(RecordedEvent::Play, &t); }
    void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& t) override
    {
        add(RecordedEvent::TrackChanged, &t);
    }
    void OnQuittingEvent() override { add(RecordedEvent::Quitting, nullptr); }
    void OnAboutToPromptUserToQuitEvent() override {}
    void OnCOMCallsEnabledEvent() override {}

    std::vector<RecordedEvent> events;

private:
    void add(RecordedEvent::Kind kind, const PlayerTrack* t);
    Player& player_;
};

// One tessaly-demo-player process.
class DemoProcess {
public:
    explicit DemoProcess(QStringList args, const QString& suffix = {});
    ~DemoProcess();
    // Waits until the player's MPRIS name is on the bus.
    bool waitUntilReady(QDBusConnection& bus);
    QString mprisName() const;
    QString controlName() const;
    QProcess& process() { return process_; }
    qint64 pid() const { return process_.processId(); }

private:
    QProcess process_;
    QString suffix_;
};

// Runs the event loop until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);
// Runs the event loop for a while, so that late or extra events show.
void Settle(int ms);

class MprisFixture : public ::testing::Test {
protected:
    void SetUp() override;
    // The private bus's admission; real players that refuse root run as another user.
    virtual PrivateBus::Admits busAdmits() const { return PrivateBus::Admits::Owner; }
    void TearDown() override;

    // Starts a demo player and waits for its name.
    DemoProcess& startDemo(QStringList args = {}, const QString& suffix = {});
    // Creates the connection and its recorder.
    void connectPlayer();
    // Calls a method of a demo player's control interface (waits for the reply).
    QDBusMessage control(const DemoProcess& demo, const QString& method,
                         const QVariantList& args = {});
    // Calls an MPRIS Player method on a bus name.
    QDBusMessage mpris(const QString& name, const QString& method);
    bool waitForEvents(std::size_t count, int timeoutMs = 3000);
    // Waits for `count` events, lets settleMs pass, and requires that no more came.
    void expectEventsThenQuiet(std::size_t count, int settleMs, int timeoutMs = 3000);

    std::unique_ptr<PrivateBus> privateBus;
    QDBusConnection bus{QString()};
    std::vector<std::unique_ptr<DemoProcess>> demos;
    std::unique_ptr<mpris::MprisConnection> player;
    std::unique_ptr<EventRecorder> recorder;
};

} // namespace tessaly::test
