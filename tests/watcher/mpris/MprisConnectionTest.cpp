// The connection against the demo player on a private bus: events once per change, in order.

#include "demo-player/DemoLibrary.h"
#include "MprisFixture.h"
#include "watcher/mpris/MprisPlayer.h"

#include <csignal>
#include <functional>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>

namespace tessaly::test {
namespace {

using Kind = RecordedEvent::Kind;
const QString kFile = QString::fromUtf16(kFileKind);
const QString kStream = QString::fromUtf16(kStreamKind);

QString TitleOf(int index)
{
    return demo::Library().at(std::size_t(index)).title;
}

void ExpectPlayOf(const RecordedEvent& e, int index)
{
    const demo::Track& t = demo::Library().at(std::size_t(index));
    EXPECT_EQ(e.kind, Kind::Play);
    EXPECT_EQ(e.kindText, kFile);
    EXPECT_EQ(e.artist, t.artist);
    EXPECT_EQ(e.album, t.album);
    EXPECT_EQ(e.name, t.title);
}

using Connection = MprisFixture;

TEST_F(Connection, StartupReadsTheCurrentTrackAndAnnouncesNothing)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    EXPECT_EQ(player->activeName(), demo.mprisName());
    const auto track = player->CurrentTrack();
    ASSERT_TRUE(track);
    EXPECT_EQ(QString::fromStdU16String(track->Name()), TitleOf(0));
    EXPECT_EQ(QString::fromStdU16String(track->KindAsString()), kFile);
    EXPECT_TRUE(player->CurrentStreamTitle().empty());
    Settle(600);
    EXPECT_TRUE(recorder->events.empty());
}

TEST_F(Connection, WithNoPlayerItWaitsAndFollowsTheFirstThatAppears)
{
    connectPlayer();
    EXPECT_FALSE(player->CurrentTrack());
    EXPECT_EQ(player->NextTrack(), PlayerResult::NoPlayer);
    EXPECT_EQ(player->AppCommandMessageProcessingEnabled(true), PlayerResult::Ok);
    startDemo();
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(1, 500));
    ExpectPlayOf(recorder->events[0], 0);
}

TEST_F(Connection, EachNextGivesOnePlayEventInOrder)
{
    startDemo();
    connectPlayer();
    for (std::size_t i = 1; i <= 3; ++i) {
        ASSERT_EQ(player->NextTrack(), PlayerResult::Ok);
        ASSERT_TRUE(waitForEvents(i));
    }
    ASSERT_EQ(player->PreviousTrack(), PlayerResult::Ok);
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(4, 500));
    for (int i = 0; i < 3; ++i)
        ExpectPlayOf(recorder->events[std::size_t(i)], i + 1);
    ExpectPlayOf(recorder->events[3], 2);
}

TEST_F(Connection, ScriptedPlayerAdvancesAndQuitsOnItsOwn)
{
    // Changes far enough apart that a loaded machine cannot merge two into one debounce.
    startDemo({QStringLiteral("--interval"), QStringLiteral("1000"), QStringLiteral("--quit-after"),
               QStringLiteral("3")});
    connectPlayer();
    EXPECT_FALSE(player->isPollingStream());
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(4, 300, 12000));
    for (int i = 0; i < 3; ++i)
        ExpectPlayOf(recorder->events[std::size_t(i)], i + 1);
    EXPECT_EQ(recorder->events[3].kind, Kind::Quitting);
}

TEST_F(Connection, BurstsAndDuplicateSignalsGiveOneEvent)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    control(demo, QStringLiteral("Burst"), {5u, 100u});
    ASSERT_TRUE(waitForEvents(1));
    control(demo, QStringLiteral("EmitDuplicate"));
    control(demo, QStringLiteral("EmitDuplicate"));
    Settle(700);
    ASSERT_EQ(recorder->events.size(), 1u);
    ExpectPlayOf(recorder->events[0], 5);
}

TEST_F(Connection, PauseIsSilentAndAResumeIsAPlay)
{
    startDemo();
    connectPlayer();
    ASSERT_EQ(player->PlayPause(), PlayerResult::Ok);
    Settle(600);
    EXPECT_TRUE(recorder->events.empty());
    EXPECT_TRUE(player->CurrentTrack()) << "a paused track is still the current track";
    ASSERT_EQ(player->PlayPause(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(1));
    ExpectPlayOf(recorder->events[0], 0);
}

TEST_F(Connection, StoppedPlayerHasNoCurrentTrack)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    mpris(demo.mprisName(), QStringLiteral("Stop"));
    ASSERT_TRUE(WaitUntil([&] { return !player->CurrentTrack(); }, 2000));
    EXPECT_TRUE(recorder->events.empty());
}

TEST_F(Connection, RadioAnnouncesTheStationAndEachTitleOnce)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    const demo::Station& station = demo::RadioStation();
    control(demo, QStringLiteral("SwitchToRadio"));
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder->events[0].kind, Kind::Play);
    EXPECT_EQ(recorder->events[0].kindText, kStream);
    EXPECT_EQ(recorder->events[0].name, station.name);
    EXPECT_EQ(recorder->events[1].kind, Kind::TrackChanged);
    EXPECT_EQ(recorder->events[1].streamTitle, station.titles.at(0));

    // Until the player is seen to tell of a title change, its stream is read on a timer.
    EXPECT_TRUE(player->isPollingStream());
    control(demo, QStringLiteral("SetStreamTitle"), {QStringLiteral("New - Song"), true});
    ASSERT_TRUE(waitForEvents(3));
    EXPECT_EQ(recorder->events[2].kind, Kind::TrackChanged);
    EXPECT_EQ(recorder->events[2].streamTitle, QStringLiteral("New - Song"));
    EXPECT_FALSE(player->isPollingStream()) << "a player that signals its titles is not polled";
    Settle(500);
    EXPECT_EQ(recorder->events.size(), 3u);
}

TEST_F(Connection, SilentTitleChangeIsFoundByThePollWhichThenStays)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    control(demo, QStringLiteral("SwitchToRadio"));
    ASSERT_TRUE(waitForEvents(2));

    // Without a signal only the poll of a playing stream can see it: the first time, the slow
    // poll of a player not yet known to keep quiet.
    control(demo, QStringLiteral("SetStreamTitle"), {QStringLiteral("Quiet - Change"), false});
    ASSERT_TRUE(waitForEvents(3, mpris::kStreamProbeMs + 2000));
    EXPECT_EQ(recorder->events[2].kind, Kind::TrackChanged);
    EXPECT_EQ(recorder->events[2].streamTitle, QStringLiteral("Quiet - Change"));
    EXPECT_EQ(player->CurrentStreamTitle(), u"Quiet - Change");
    // A signalled change later does not make a player that once kept quiet trusted.
    control(demo, QStringLiteral("SetStreamTitle"), {QStringLiteral("Loud - Change"), true});
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_EQ(recorder->events[3].streamTitle, QStringLiteral("Loud - Change"));
    // Known to keep quiet now: the quick poll finds the next change.
    control(demo, QStringLiteral("SetStreamTitle"), {QStringLiteral("Quiet - Again"), false});
    ASSERT_TRUE(waitForEvents(5, mpris::kStreamPollMs + 1500));
    EXPECT_EQ(recorder->events[4].streamTitle, QStringLiteral("Quiet - Again"));
    Settle(2500);
    EXPECT_EQ(recorder->events.size(), 5u) << "the poll announces nothing new";
    EXPECT_TRUE(player->isPollingStream());
    ASSERT_EQ(player->PlayPause(), PlayerResult::Ok);
    ASSERT_TRUE(WaitUntil([&] { return !player->isPollingStream(); }, 2000))
        << "nothing ticks while no stream plays";
}

TEST_F(Connection, AStreamPlayerThatKeepsRepeatingItsMetadataIsNotPolledUntilItStops)
{
    // The station moves on by itself only after the test.
    DemoProcess& demo = startDemo(
        {QStringLiteral("--radio"), QStringLiteral("--interval"), QStringLiteral("60000")});
    connectPlayer();
    const auto reads = [&] {
        return control(demo, QStringLiteral("MetadataReads")).arguments().value(0).toUInt();
    };
    // A silent title change makes it a player polled every 2 s.
    ASSERT_TRUE(WaitUntil([&] { return player->isPollingStream(); }, 5000));
    control(demo, QStringLiteral("SetStreamTitle"), {QStringLiteral("Quiet - Change"), false});
    ASSERT_TRUE(WaitUntil([&] { return player->CurrentStreamTitle() == u"Quiet - Change"; },
                          mpris::kStreamProbeMs + 2000));

    // Each repeat of the whole Metadata (mpv sends one a second) tells what a poll would read.
    // The first also tells the status, which the poll does not read: that costs one read.
    control(demo, QStringLiteral("EmitDuplicate"));
    Settle(700);
    const uint before = reads();
    const std::size_t events = recorder->events.size();
    for (int i = 0; i < 5; ++i) {
        control(demo, QStringLiteral("EmitDuplicate"));
        Settle(700);
    }
    EXPECT_EQ(reads(), before) << "read although the player had just told its Metadata";
    EXPECT_TRUE(player->isPollingStream());
    // Once the repeats stop, the poll reads again.
    ASSERT_TRUE(WaitUntil([&] { return reads() > before; }, mpris::kStreamPollMs + 1000));
    EXPECT_EQ(recorder->events.size(), events) << "the repeats announce nothing";
}

TEST_F(Connection, StopBlipInsideATrackChangeIsOneChange)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    control(demo, QStringLiteral("NextWithBlip"), {280u});
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(1, 700));
    ExpectPlayOf(recorder->events[0], 1);
}

TEST_F(Connection, QuitRaisesQuittingOnce)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    bus.call(QDBusMessage::createMethodCall(
                 demo.mprisName(), QStringLiteral("/org/mpris/MediaPlayer2"),
                 QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")),
             QDBus::Block, 2000);
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(1, 400));
    EXPECT_EQ(recorder->events[0].kind, Kind::Quitting);
    EXPECT_TRUE(player->activeName().isEmpty());
    EXPECT_EQ(player->NextTrack(), PlayerResult::NoPlayer);
}

// Answers the quitting event as a modal box does: a nested event loop until the user answers,
// here until the player that came back meanwhile has been announced (or the time is up).
class ModalQuitQuestion : public PlayerEvents {
public:
    ModalQuitQuestion(EventRecorder& next, std::function<void()> whileOpen)
        : next_(next), whileOpen_(std::move(whileOpen))
    {}
    void OnPlayerPlayEvent(const PlayerTrack& t) override
    {
        next_.OnPlayerPlayEvent(t);
        playsWhileOpen += open_ ? 1 : 0;
    }
    void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& t) override
    {
        next_.OnPlayerPlayingTrackChangedEvent(t);
    }
    void OnQuittingEvent() override
    {
        next_.OnQuittingEvent();
        ++questions;
        if (open_)
            return;
        open_ = true;
        whileOpen_();
        WaitUntil([&] { return playsWhileOpen > 0; }, 5000);
        open_ = false;
    }
    void OnAboutToPromptUserToQuitEvent() override {}
    void OnCOMCallsEnabledEvent() override {}

    int questions = 0;
    int playsWhileOpen = 0;

private:
    EventRecorder& next_;
    std::function<void()> whileOpen_;
    bool open_ = false;
};

TEST_F(Connection, APlayerThatComesBackIsAnnouncedWhileTheQuitQuestionIsOpen)
{
    DemoProcess& first = startDemo();
    connectPlayer();
    ModalQuitQuestion modal(*recorder, [&] { startDemo({}, QStringLiteral("again")); });
    player->SetEvents(&modal);
    first.process().kill();
    ASSERT_TRUE(WaitUntil([&] { return modal.questions > 0; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return modal.playsWhileOpen > 0; }, 5000))
        << "the new player's play waited for the box";
    EXPECT_EQ(modal.questions, 1);
    player->SetEvents(recorder.get());
}

TEST_F(Connection, ChangesFasterThanTheQuietTimeAreStillFollowed)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    Settle(700);
    const std::size_t before = recorder->events.size();
    // A change every 200 ms for 6 s: the quiet time never comes while it lasts.
    QElapsedTimer t;
    t.start();
    control(demo, QStringLiteral("Burst"), {30u, 6000u});
    WaitUntil([&] { return recorder->events.size() >= before + 3; }, 5000);
    const std::size_t during = recorder->events.size() - before;
    const qint64 at = t.elapsed();
    EXPECT_GE(during, 2u) << "only " << during << " announcements in " << at << " ms of changes";
    Settle(int(std::max<qint64>(0, 6000 - t.elapsed())) + 1500);
    ASSERT_GT(recorder->events.size(), before);
    const auto track = player->CurrentTrack();
    ASSERT_TRUE(track);
    EXPECT_EQ(recorder->events.back().name, QString::fromStdU16String(track->Name()))
        << "the newest state is announced last";
    EXPECT_LE(recorder->events.size() - before, 12u) << "one announcement per change";
}

TEST_F(Connection, SecondPlayerThatStartsPlayingTakesOver)
{
    DemoProcess& first = startDemo();
    DemoProcess& second = startDemo({QStringLiteral("--stopped")}, QStringLiteral("second"));
    connectPlayer();
    EXPECT_EQ(player->activeName(), first.mprisName());
    mpris(second.mprisName(), QStringLiteral("Next"));
    Settle(500);
    EXPECT_TRUE(recorder->events.empty()) << "a stopped player's changes are not announced";
    mpris(second.mprisName(), QStringLiteral("Play"));
    ASSERT_TRUE(waitForEvents(1));
    ExpectPlayOf(recorder->events[0], 1);
    EXPECT_EQ(player->activeName(), second.mprisName());

    // The first one goes on playing in the background: it is no longer the player.
    mpris(first.mprisName(), QStringLiteral("Next"));
    Settle(600);
    EXPECT_EQ(recorder->events.size(), 1u);
    ASSERT_EQ(player->NextTrack(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(2));
    ExpectPlayOf(recorder->events[1], 2);

    // The quitting of a player that is not followed is no news.
    first.process().kill();
    Settle(500);
    EXPECT_EQ(recorder->events.size(), 2u);
}

TEST_F(Connection, KillNineMidSessionIsAQuit)
{
    DemoProcess& demo = startDemo();
    connectPlayer();
    ASSERT_EQ(player->NextTrack(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(1));
    ::kill(pid_t(demo.pid()), SIGKILL);
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder->events[1].kind, Kind::Quitting);
    EXPECT_FALSE(player->CurrentTrack());
    EXPECT_EQ(player->PlayPause(), PlayerResult::NoPlayer);
}

TEST_F(Connection, NamesOfOneProcessCountOnce)
{
    DemoProcess& demo = startDemo();
    // Sorts before the player's own name, and is there before the connection starts.
    ASSERT_TRUE(control(demo, QStringLiteral("AddAlias"), {QStringLiteral("aaa_alias")})
                    .arguments()
                    .value(0)
                    .toBool());
    connectPlayer();
    control(demo, QStringLiteral("AddAlias"), {QStringLiteral("zzz_alias")});
    ASSERT_EQ(player->NextTrack(), PlayerResult::Ok);
    ASSERT_TRUE(waitForEvents(1));
    Settle(600);
    EXPECT_EQ(recorder->events.size(), 1u);
    demo.process().kill();
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(2, 400));
    EXPECT_EQ(recorder->events[1].kind, Kind::Quitting);
}

TEST_F(Connection, FactoryFailsOnlyWithoutABus)
{
    EXPECT_FALSE(CreateMprisPlayer(QDBusConnection(QStringLiteral("never-connected"))));
    EXPECT_TRUE(CreateMprisPlayer(bus)) << "an empty bus is no failure";
}

} // namespace
} // namespace tessaly::test
