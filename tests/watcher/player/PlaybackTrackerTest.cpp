#include "watcher/mpris/PlaybackTracker.h"

#include <gtest/gtest.h>

namespace tessaly::mpris {
namespace {

QVariantMap Track(const QString& url, const QString& title, const QString& trackId = {},
                  qlonglong length = 3'000'000)
{
    QVariantMap m;
    if (!url.isEmpty())
        m.insert(QStringLiteral("xesam:url"), url);
    m.insert(QStringLiteral("xesam:title"), title);
    m.insert(QStringLiteral("xesam:artist"), QStringList{QStringLiteral("Artist")});
    if (!trackId.isEmpty())
        m.insert(QStringLiteral("mpris:trackid"), trackId);
    if (length >= 0)
        m.insert(QStringLiteral("mpris:length"), length);
    return m;
}

QVariantMap Stream(const QString& title)
{
    QVariantMap m = Track(QStringLiteral("http://radio.example/live"), title, {}, -1);
    m.remove(QStringLiteral("xesam:artist")); // ICY streams send the title alone
    return m;
}

PlayerRead Playing(const QVariantMap& m)
{
    return {Status::Playing, m};
}

struct Events {
    bool play, trackChanged;
};

// Feeds reads one after another, as the connection does after each debounce.
class Tracker : public ::testing::Test {
protected:
    Events step(Status status, const QVariantMap& m)
    {
        now_ += 1000;
        const Decision d = tracker_.evaluate({status, m}, now_);
        return {d.play, d.trackChanged};
    }
    PlaybackTracker tracker_;
    qint64 now_ = 0;
};

void ExpectEvents(const Events& ev, bool play, bool trackChanged, const char* why = "")
{
    EXPECT_EQ(ev.play, play) << "play " << why;
    EXPECT_EQ(ev.trackChanged, trackChanged) << "track changed " << why;
}

const QString kA = QStringLiteral("file:///a.ogg");
const QString kB = QStringLiteral("file:///b.ogg");

TEST_F(Tracker, WhatWasPlayingBeforeUsIsNotAnnounced)
{
    tracker_.settle(Playing(Track(kA, QStringLiteral("A"))));
    ExpectEvents(step(Status::Playing, Track(kA, QStringLiteral("A"))), false, false);
}

TEST_F(Tracker, LocalTrackRules)
{
    ExpectEvents(step(Status::Playing, Track(kA, QStringLiteral("A"))), true, false);
    // Length, track id and repeats are no change.
    ExpectEvents(step(Status::Playing, Track(kA, QStringLiteral("A"), QStringLiteral("/9"), 7)),
                 false, false);
    ExpectEvents(step(Status::Playing, Track(kA, QStringLiteral("A edited"))), false, true);
    ExpectEvents(step(Status::Playing, Track(kB, QStringLiteral("B"))), true, false);
    ExpectEvents(step(Status::Paused, Track(kB, QStringLiteral("B"))), false, false);
    ExpectEvents(step(Status::Playing, Track(kB, QStringLiteral("B"))), true, false,
                 "a resume is a play");
    ExpectEvents(step(Status::Stopped, {}), false, false);
    ExpectEvents(step(Status::Playing, {}), false, false, "nothing to announce");
}

TEST_F(Tracker, WithoutUrlTheTrackIdAndTextsTellTracksApart)
{
    ExpectEvents(step(Status::Playing, Track({}, QStringLiteral("A"), QStringLiteral("/1"))), true,
                 false);
    ExpectEvents(step(Status::Playing, Track({}, QStringLiteral("A"), QStringLiteral("/2"))), false,
                 false);
    ExpectEvents(step(Status::Playing, Track({}, QStringLiteral("B"), QStringLiteral("/3"))), true,
                 false);
    ExpectEvents(step(Status::Playing, Track({}, QStringLiteral("C"), QStringLiteral("/3"))), false,
                 true);
}

TEST_F(Tracker, StreamTitlesAreAnnouncedOnceEach)
{
    ExpectEvents(step(Status::Playing, Stream(QStringLiteral("X - One"))), true, true,
                 "the first title after the start counts");
    ExpectEvents(step(Status::Playing, Stream(QStringLiteral("X - One"))), false, false);
    ExpectEvents(step(Status::Playing, Stream({})), false, false);
    ExpectEvents(step(Status::Playing, Stream(QStringLiteral("X - One"))), false, false,
                 "a title flickering through empty is still the same title");
    ExpectEvents(step(Status::Playing, Stream(QStringLiteral("Y - Two"))), false, true);
    ExpectEvents(step(Status::Paused, Stream(QStringLiteral("Y - Two"))), false, false);
    ExpectEvents(step(Status::Playing, Stream(QStringLiteral("Y - Two"))), true, false,
                 "a resume does not log the same title twice");
    EXPECT_EQ(tracker_.texts().streamTitle, QStringLiteral("Y - Two"));
    EXPECT_TRUE(tracker_.streamPlaying());
}

TEST_F(Tracker, StreamStartingWithoutTitleIsOnlyAPlay)
{
    ExpectEvents(step(Status::Playing, Stream({})), true, false);
    ExpectEvents(step(Status::Playing, Stream(QStringLiteral("First"))), false, true);
}

TEST_F(Tracker, NetworkUrlWithALengthIsAnnouncedOnceItsKindIsKnown)
{
    // mpv on an ICY stream, as recorded: a positive length at first, growing each second.
    const QString url = QStringLiteral("http://127.0.0.1:18765/live.mp3");
    const QString title = QStringLiteral("Artist A - First Song");
    Decision d = tracker_.evaluate(Playing(Track(url, title, {}, 2'011'428)), 1000);
    EXPECT_FALSE(d.play || d.trackChanged) << "not as a local file first";
    EXPECT_TRUE(d.recheck);
    d = tracker_.evaluate(Playing(Track(url, title, {}, 3'030'204)), 2200);
    EXPECT_TRUE(d.play);
    EXPECT_TRUE(d.trackChanged) << "the radio form, at once";
    EXPECT_TRUE(tracker_.texts().isStream());
    d = tracker_.evaluate(Playing(Track(url, title, {}, 4'075'102)), 3200);
    EXPECT_FALSE(d.play || d.trackChanged || d.recheck) << "once";

    // A download keeps its length: after the one look it is a file.
    const QString episode = QStringLiteral("https://pod.example/ep1.mp3");
    d = tracker_.evaluate(Playing(Track(episode, QStringLiteral("Ep"), {}, 9'000'000)), 4200);
    EXPECT_TRUE(d.recheck);
    d = tracker_.evaluate(Playing(Track(episode, QStringLiteral("Ep"), {}, 9'000'000)), 5400);
    EXPECT_TRUE(d.play);
    EXPECT_FALSE(d.recheck);
    EXPECT_FALSE(tracker_.texts().isStream());
}

TEST_F(Tracker, ShortStopInsideATrackChangeIsNoRestart)
{
    tracker_.settle(Playing(Track(kA, QStringLiteral("A"))));
    tracker_.noteStatus(Status::Stopped, 10'000);
    EXPECT_FALSE(tracker_.evaluate({Status::Stopped, Track(kA, QStringLiteral("A"))}, 10'250).play);
    tracker_.noteStatus(Status::Playing, 10'280);
    const Decision d = tracker_.evaluate(Playing(Track(kB, QStringLiteral("B"))), 10'530);
    EXPECT_TRUE(d.play);
    EXPECT_FALSE(d.startedPlaying);
}

TEST_F(Tracker, LongStopThenPlayIsAStart)
{
    tracker_.settle(Playing(Track(kA, QStringLiteral("A"))));
    tracker_.noteStatus(Status::Stopped, 10'000);
    tracker_.evaluate({Status::Stopped, Track(kA, QStringLiteral("A"))}, 10'250);
    tracker_.noteStatus(Status::Playing, 10'400);
    const Decision d = tracker_.evaluate(Playing(Track(kA, QStringLiteral("A"))), 10'650);
    EXPECT_TRUE(d.play);
    EXPECT_TRUE(d.startedPlaying);
}

TEST_F(Tracker, MetadataNamingNoTrackIsNoTrackWhateverTheStatus)
{
    const struct {
        const char* name;
        QVariantMap metadata;
    } cases[] = {
        {"mpv idle", {{QStringLiteral("mpris:trackid"), QStringLiteral("/noplaylist")}}},
        {"no track id",
         {{QStringLiteral("mpris:trackid"),
           QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")},
          {QStringLiteral("mpris:length"), qlonglong(0)}}},
        {"empty texts",
         {{QStringLiteral("xesam:url"), QString()}, {QStringLiteral("xesam:title"), QString()}}},
        {"artist alone", {{QStringLiteral("xesam:artist"), QStringList{QStringLiteral("A")}}}},
        {"nothing", {}},
    };
    for (const auto& c : cases) {
        ExpectEvents(step(Status::Playing, c.metadata), false, false, c.name);
        EXPECT_FALSE(tracker_.hasTrack()) << c.name;
    }
    // A title alone is a track (players without urls exist), and so is a url alone.
    ExpectEvents(step(Status::Playing, {{QStringLiteral("xesam:title"), QStringLiteral("T")}}),
                 true, false);
    ExpectEvents(step(Status::Playing, {{QStringLiteral("mpris:trackid"), QStringLiteral("/no")}}),
                 false, false, "back to idle");
    ExpectEvents(step(Status::Playing, {{QStringLiteral("xesam:url"), kA}}), true, false);
}

TEST(ParseStatus, UnknownTextsAreStopped)
{
    EXPECT_EQ(ParseStatus(QStringLiteral("Playing")), Status::Playing);
    EXPECT_EQ(ParseStatus(QStringLiteral("Paused")), Status::Paused);
    EXPECT_EQ(ParseStatus(QStringLiteral("playing")), Status::Stopped);
    EXPECT_EQ(ParseStatus(3), Status::Stopped);
}

} // namespace
} // namespace tessaly::mpris
