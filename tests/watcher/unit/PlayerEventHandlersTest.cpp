// The player's event handlers: which form of refresh each event gives, the order of the reads,
// and the one quit question.

#include "watcher/PlayerEventHandlers.h"

#include "support/core/CoreTestText.h"

#include <functional>
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
    std::u16string artist, album, title, format, msg;
    bool operator==(const Call&) const = default;
};

void PrintTo(const Call& c, std::ostream* os)
{
    *os << '{' << test::U8(c.artist) << '|' << test::U8(c.album) << '|' << test::U8(c.title) << '|'
        << test::U8(c.format) << '|' << test::U8(c.msg) << '}';
}

class FakeHost : public PlayerEventHost {
public:
    void NowPlaying(std::u16string_view a, std::u16string_view l, std::u16string_view t,
                    std::u16string_view f, std::u16string_view m) override
    {
        if (fail)
            throw std::runtime_error("refresh failed");
        calls.push_back({std::u16string(a), std::u16string(l), std::u16string(t), std::u16string(f),
                         std::u16string(m)});
    }
    std::u16string FormatString() const override { return u"%L: %A - %T"; }
    void ExitCommand() override { ++exits; }

    std::vector<Call> calls;
    int exits = 0;
    bool fail = false;
};

class FakeQuestion : public QuitQuestion {
public:
    bool AskShutdown() override
    {
        ++asked;
        if (whileOpen)
            whileOpen();
        if (fail)
            throw std::runtime_error("no box");
        return answer;
    }
    int asked = 0;
    bool answer = false;
    bool fail = false;
    // Runs while the question waits for its answer, as the nested event loop of a modal box does.
    std::function<void()> whileOpen;
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
    FakeQuestion question;
    PlayerEventHandlers handlers{player, host, question};
};

const Call kLocal{u"Artist & Co", u"Album_1", u"Name.mp3", u"%L: %A - %T", u""};

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
    EXPECT_EQ(host.calls[0], (Call{u"Artist & Co", u"Album_1", u"Second - Read", u"%L: %A - %T",
                                   u"Name.mp3\r\n\r\nFirst - Read"}));
    EXPECT_EQ(log, (ReadLog{"Kind", "CurrentStreamTitle", "Name", "Artist", "Album",
                            "CurrentStreamTitle"}));
}

TEST_F(Handlers, EmptyStreamTitleLeavesTheTitleEmptyAndTheLineBreaks)
{
    handlers.RefreshFromTrack(track(kStreamKind));
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_TRUE(host.calls[0].title.empty());
    EXPECT_EQ(host.calls[0].msg, u"Name.mp3\r\n\r\n");
}

TEST_F(Handlers, OnlyTheExactStreamKindIsRadio)
{
    for (const char16_t* kind :
         {u"MPEG Audio Stream", u"mpeg audio stream", u"MPEG audio stream ", u"", u"MPEG audio"}) {
        host.calls.clear();
        handlers.RefreshFromTrack(track(kind));
        ASSERT_EQ(host.calls.size(), 1u);
        EXPECT_EQ(host.calls[0], kLocal) << test::U8(kind);
    }
}

TEST_F(Handlers, QuittingAsksAndExitsOnlyOnYes)
{
    handlers.OnQuittingEvent();
    EXPECT_EQ(question.asked, 1);
    EXPECT_EQ(host.exits, 0);
    question.answer = true;
    handlers.OnQuittingEvent();
    EXPECT_EQ(question.asked, 2);
    EXPECT_EQ(host.exits, 1);
}

TEST_F(Handlers, ASecondQuittingEventWhileTheQuestionIsOpenAsksNothing)
{
    for (const bool yes : {false, true}) {
        question.asked = 0;
        host.exits = 0;
        question.answer = yes;
        // A flapping player name: more quitting events arrive while the box waits.
        question.whileOpen = [&] {
            handlers.OnQuittingEvent();
            handlers.OnQuittingEvent();
        };
        handlers.OnQuittingEvent();
        EXPECT_EQ(question.asked, 1) << yes;
        EXPECT_EQ(host.exits, yes ? 1 : 0) << yes;
    }
    // Once answered, the next quit is a new question.
    question.whileOpen = nullptr;
    handlers.OnQuittingEvent();
    EXPECT_EQ(question.asked, 2);
}

TEST_F(Handlers, AQuestionThatFailsLeavesTheNextQuitFreeToAsk)
{
    question.fail = true;
    EXPECT_THROW(handlers.OnQuittingEvent(), std::runtime_error);
    EXPECT_EQ(host.exits, 0);
    question.fail = false;
    question.answer = true;
    handlers.OnQuittingEvent();
    EXPECT_EQ(question.asked, 2);
    EXPECT_EQ(host.exits, 1);
}

TEST_F(Handlers, OtherEventsDoNothing)
{
    handlers.OnAboutToPromptUserToQuitEvent();
    handlers.OnCOMCallsEnabledEvent();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(question.asked, 0);
}

TEST_F(Handlers, AFailingRefreshReachesTheConnectionAndCostsOnlyItsEvent)
{
    // The player connection reports it at the event loop's boundary; the handlers stay usable.
    host.fail = true;
    EXPECT_THROW(handlers.OnPlayerPlayEvent(track(kFileKind)), std::runtime_error);
    EXPECT_THROW(handlers.OnPlayerPlayingTrackChangedEvent(track(kStreamKind)), std::runtime_error);
    host.fail = false;
    handlers.OnPlayerPlayEvent(track(kFileKind));
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0], kLocal);
}

} // namespace
} // namespace tessaly
