#include "watcher/PlayerEventHandlers.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace tessaly {
namespace {

// Every read lands in one log, so the tests see the order the rule reads in.
using ReadLog = std::vector<std::string>;

class FakeTrack : public PlayerTrack {
public:
    FakeTrack(ReadLog& log, std::u16string kind, std::u16string artist, std::u16string album,
              std::u16string name)
        : log_(log), kind_(std::move(kind)), artist_(std::move(artist)), album_(std::move(album)),
          name_(std::move(name))
    {}
    std::u16string KindAsString() const override { return read("Kind", kind_); }
    std::u16string Artist() const override { return read("Artist", artist_); }
    std::u16string Album() const override { return read("Album", album_); }
    std::u16string Name() const override { return read("Name", name_); }

private:
    std::u16string read(const char* what, const std::u16string& v) const
    {
        log_.push_back(what);
        return v;
    }
    ReadLog& log_;
    std::u16string kind_, artist_, album_, name_;
};

class FakePlayer : public Player {
public:
    explicit FakePlayer(ReadLog& log) : log_(log) {}
    void SetEvents(PlayerEvents*) override {}
    std::unique_ptr<PlayerTrack> CurrentTrack() override { return nullptr; }
    std::u16string CurrentStreamTitle() override
    {
        log_.push_back("CurrentStreamTitle");
        // The station may move on between the two reads.
        return titles.empty() ? std::u16string() : titles.at(reads++ % titles.size());
    }
    PlayerResult AppCommandMessageProcessingEnabled(bool) override { return PlayerResult::Ok; }
    PlayerResult PreviousTrack() override { return PlayerResult::Ok; }
    PlayerResult NextTrack() override { return PlayerResult::Ok; }
    PlayerResult PlayPause() override { return PlayerResult::Ok; }

    std::vector<std::u16string> titles;
    std::size_t reads = 0;

private:
    ReadLog& log_;
};

struct Call {
    QString artist, album, title, format, msg;
    bool operator==(const Call&) const = default;
};

class FakeHost : public PlayerEventHost {
public:
    void NowPlaying(const QString& a, const QString& l, const QString& t, const QString& f,
                    const QString& m) override
    {
        if (fail)
            throw std::runtime_error("refresh failed");
        calls.push_back({a, l, t, f, m});
    }
    QString FormatString() const override { return QStringLiteral("%L: %A - %T"); }
    void ExitCommand() override { ++exits; }

    std::vector<Call> calls;
    int exits = 0;
    bool fail = false;
};

class Handlers : public ::testing::Test {
protected:
    FakeTrack track(std::u16string kind)
    {
        return FakeTrack(log, std::move(kind), u"Artist & Co", u"Album_1", u"Name.mp3");
    }
    ReadLog log;
    FakePlayer player{log};
    FakeHost host;
    bool answer = false;
    int asked = 0;
    PlayerEventHandlers handlers{player, host, [this] {
                                     ++asked;
                                     return answer;
                                 }};
};

const Call kLocal{QStringLiteral("Artist & Co"), QStringLiteral("Album_1"),
                  QStringLiteral("Name.mp3"), QStringLiteral("%L: %A - %T"), QString()};

TEST_F(Handlers, LocalTrackGivesTheSameCallForPlayAndTrackChange)
{
    const FakeTrack t = track(kFileKind);
    handlers.OnPlayerPlayEvent(t);
    handlers.OnPlayerPlayingTrackChangedEvent(t);
    ASSERT_EQ(host.calls.size(), 2u);
    EXPECT_EQ(host.calls[0], kLocal);
    EXPECT_EQ(host.calls[1], kLocal);
}

TEST_F(Handlers, PlayEventUsesTheLocalFormEvenForAStream)
{
    handlers.OnPlayerPlayEvent(track(kStreamKind));
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], kLocal);
    EXPECT_EQ(log, (ReadLog{"Artist", "Album", "Name"}));
}

TEST_F(Handlers, StreamGivesTheRadioFormInTheReadOrder)
{
    player.titles = {u"First - Read", u"Second - Read"};
    handlers.OnPlayerPlayingTrackChangedEvent(track(kStreamKind));
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].title, QStringLiteral("Second - Read"));
    EXPECT_EQ(host.calls[0].msg, QStringLiteral("Name.mp3\r\n\r\nFirst - Read"));
    EXPECT_EQ(host.calls[0].artist, QStringLiteral("Artist & Co"));
    EXPECT_EQ(host.calls[0].album, QStringLiteral("Album_1"));
    EXPECT_EQ(log, (ReadLog{"Kind", "CurrentStreamTitle", "Name", "Artist", "Album",
                            "CurrentStreamTitle"}));
}

TEST_F(Handlers, EmptyStreamTitleLeavesTheTitleEmptyAndTheLineBreaks)
{
    handlers.RefreshFromTrack(track(kStreamKind));
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_TRUE(host.calls[0].title.isEmpty());
    EXPECT_EQ(host.calls[0].msg, QStringLiteral("Name.mp3\r\n\r\n"));
}

TEST_F(Handlers, KindDifferingOnlyInCaseIsLocal)
{
    handlers.RefreshFromTrack(track(u"MPEG Audio Stream"));
    handlers.RefreshFromTrack(track(u"mpeg audio stream"));
    ASSERT_EQ(host.calls.size(), 2u);
    EXPECT_EQ(host.calls[0], kLocal);
    EXPECT_EQ(host.calls[1], kLocal);
}

TEST_F(Handlers, QuittingAsksAndExitsOnlyOnYes)
{
    handlers.OnQuittingEvent();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(host.exits, 0);
    answer = true;
    handlers.OnQuittingEvent();
    EXPECT_EQ(host.exits, 1);
}

TEST_F(Handlers, OtherEventsDoNothing)
{
    handlers.OnAboutToPromptUserToQuitEvent();
    handlers.OnCOMCallsEnabledEvent();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(asked, 0);
}

TEST_F(Handlers, AFailingRefreshStaysInsideTheEvent)
{
    host.fail = true;
    EXPECT_NO_THROW(handlers.OnPlayerPlayEvent(track(kFileKind)));
    EXPECT_NO_THROW(handlers.OnPlayerPlayingTrackChangedEvent(track(kStreamKind)));
}

} // namespace
} // namespace tessaly
