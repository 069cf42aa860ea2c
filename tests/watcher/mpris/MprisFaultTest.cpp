// Players that send what they should not, and players that stop answering.

#include "MprisFixture.h"

#include <csignal>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <stdexcept>

namespace tessaly::test {
namespace {

using Kind = RecordedEvent::Kind;
using Faults = MprisFixture;

TEST_F(Faults, MetadataOfWrongTypesMapsToTexts)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    QVariantMap m;
    m.insert(QStringLiteral("xesam:url"), QStringLiteral("file:///odd.ogg"));
    m.insert(QStringLiteral("xesam:artist"), QStringLiteral("Plain String"));
    m.insert(QStringLiteral("xesam:title"), 7);
    m.insert(QStringLiteral("xesam:album"), QVariantList{QStringLiteral("In"), 2.5});
    m.insert(QStringLiteral("mpris:trackid"), QStringLiteral("/a/string/not/a/path"));
    m.insert(QStringLiteral("mpris:length"), QStringLiteral("long"));
    control(demo, QStringLiteral("SetMetadata"), {m});
    ASSERT_TRUE(waitForEvents(1));
    const RecordedEvent& e = recorder->events[0];
    EXPECT_EQ(e.kind, Kind::Play);
    EXPECT_EQ(e.artist, QStringLiteral("Plain String"));
    EXPECT_EQ(e.name, QStringLiteral("7"));
    EXPECT_EQ(e.album, QStringLiteral("In, 2.5"));
}

TEST_F(Faults, HugeTextsAreCutAndInvalidOnesMapped)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    QVariantMap m;
    m.insert(QStringLiteral("xesam:url"), QStringLiteral("file:///big.ogg"));
    m.insert(QStringLiteral("xesam:album"), QString(4 << 20, u'a'));
    m.insert(QStringLiteral("xesam:title"), QByteArray("Bad \xFF\xFE bytes"));
    m.insert(QStringLiteral("xesam:artist"), QStringList{});
    control(demo, QStringLiteral("SetMetadata"), {m});
    ASSERT_TRUE(waitForEvents(1));
    const RecordedEvent& e = recorder->events[0];
    EXPECT_EQ(e.album.size(), mpris::kMaxTextUnits);
    EXPECT_TRUE(e.name.startsWith(QStringLiteral("Bad ")));
    EXPECT_TRUE(e.name.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_TRUE(e.artist.isEmpty());
}

TEST_F(Faults, EmptyMetadataAndUnknownStatusAreNoTrack)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    control(demo, QStringLiteral("SetMetadata"), {QVariantMap()});
    control(demo, QStringLiteral("SetPlaybackStatus"), {QStringLiteral("Bogus")});
    ASSERT_TRUE(WaitUntil([&] { return !player->CurrentTrack(); }, 2000));
    control(demo, QStringLiteral("SetPlaybackStatus"), {QStringLiteral("Playing")});
    Settle(600);
    EXPECT_TRUE(recorder->events.empty()) << "nothing to announce without metadata";
}

TEST_F(Faults, AHungPlayerCostsAtMostTheTimeLimit)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    ::kill(pid_t(demo.pid()), SIGSTOP);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(player->NextTrack(), PlayerResult::Failed);
    EXPECT_LT(t.elapsed(), 3000);
    ::kill(pid_t(demo.pid()), SIGCONT);
    // It answers again: the late Next shows as one change.
    ASSERT_TRUE(waitForEvents(1));
    Settle(500);
    EXPECT_EQ(recorder->events.size(), 1u);
}

QStringList gWarnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        gWarnings << message;
}

TEST_F(Faults, AHungStreamPlayerIsWarnedAboutOnceNotOnEveryPoll)
{
    DemoProcess& demo = startDemo({QStringLiteral("--radio")});
    connectPlayer();
    ASSERT_TRUE(WaitUntil([&] { return player->isPollingStream(); }, 5000));
    // A title change without a signal makes it a player polled every 2 s.
    control(demo, QStringLiteral("SetStreamTitle"), {QStringLiteral("Quiet - Change"), false});
    ASSERT_TRUE(WaitUntil([&] { return player->CurrentStreamTitle() == u"Quiet - Change"; },
                          mpris::kStreamProbeMs + 2000));
    gWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(CollectWarnings);
    ::kill(pid_t(demo.pid()), SIGSTOP);
    // Polls every 2 s, each read giving up after 2 s: several failures in this time.
    Settle(9000);
    ::kill(pid_t(demo.pid()), SIGCONT);
    qInstallMessageHandler(previous);
    EXPECT_EQ(gWarnings.filter(QStringLiteral("cannot read player")).size(), 1)
        << qPrintable(gWarnings.join('|'));
}

// Passes every event on to the recorder, then fails the first `failures` of them.
class FailingHandlers : public PlayerEvents {
public:
    FailingHandlers(PlayerEvents& next, int failures) : next_(next), failures_(failures) {}
    void OnPlayerPlayEvent(const PlayerTrack& t) override
    {
        next_.OnPlayerPlayEvent(t);
        fail();
    }
    void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& t) override
    {
        next_.OnPlayerPlayingTrackChangedEvent(t);
        fail();
    }
    void OnQuittingEvent() override
    {
        next_.OnQuittingEvent();
        fail();
    }
    void OnAboutToPromptUserToQuitEvent() override {}
    void OnCOMCallsEnabledEvent() override {}

private:
    void fail()
    {
        if (failures_-- > 0)
            throw std::runtime_error("refresh failed");
    }
    PlayerEvents& next_;
    int failures_;
};

TEST_F(Faults, AFailingHandlerCostsOnlyItsOwnEvent)
{
    startDemo();
    connectPlayer();
    FailingHandlers failing(*recorder, 1);
    player->SetEvents(&failing);
    ASSERT_EQ(player->NextTrack(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(1));
    ASSERT_EQ(player->NextTrack(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(2)) << "the connection goes on after a handler failed";
    Settle(300);
    EXPECT_EQ(recorder->events.size(), 2u);
    player->SetEvents(nullptr);
}

} // namespace
} // namespace tessaly::test
