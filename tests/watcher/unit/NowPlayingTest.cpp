// The now-playing refresh: its steps in order, what stops it, and the popup step.

#include "watcher/NowPlaying.h"

#include "PlaylistFakes.h"
#include "publisher/StatusPublisher.h"
#include "support/core/CoreTestText.h"
#include "watcher/FormatStatus.h"
#include "watcher/RadioPlaylist.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace tessaly {
namespace {

using test::U8;
using Log = std::vector<std::string>;

// The main window and the publisher, both writing into the one log the files write into.
class RecordingWindow : public NowPlayingView, public StatusPublisher {
public:
    explicit RecordingWindow(Log& log) : log_(log) {}
    void ShowTrack(std::u16string_view l, std::u16string_view a, std::u16string_view t) override
    {
        log_.push_back("track " + U8(l) + "|" + U8(a) + "|" + U8(t));
    }
    void ShowStatus(std::u16string_view status) override { log_.push_back("status " + U8(status)); }
    void ShowAlert(const NowPlayingRecord& r) override
    {
        log_.push_back("alert " + U8(r.sTitle) + (r.IsRadio() ? " radio" : " local"));
        if (failAlert)
            throw std::runtime_error("no popup");
    }
    int PlaylistSwitch() const override
    {
        log_.push_back("switch");
        return playlistSwitch;
    }
    std::u16string PlaylistFileName() const override
    {
        log_.push_back("file name");
        return u"p.txt";
    }
    void SetYahooStatus(const std::u16string& text) override
    {
        log_.push_back("publish " + U8(text));
        if (failPublish)
            throw std::runtime_error("publisher down");
    }

    int playlistSwitch = 1;
    bool failPublish = false;
    bool failAlert = false;

private:
    Log& log_;
};

class Refresh : public ::testing::Test {
protected:
    Refresh() { files.log = &log; }

    std::string status(const NowPlayingRecord& r) const
    {
        return "status " + U8(FormatStatus(r.sFormat, r.sArtist, r.sAlbum, r.sTitle));
    }
    std::string publish(const NowPlayingRecord& r) const
    {
        return "publish " + U8(FormatStatus(r.sFormat, r.sArtist, r.sAlbum, r.sTitle));
    }

    Log log;
    test::MemoryFiles files;
    test::Latin1CodePage latin1;
    RadioPlaylist playlist{u"F", files, latin1};
    RecordingWindow window{log};
    const std::string appendSong =
        "append " + U8(playlist.PathOf(u"p.txt")) + " song" + std::string(kLineEnd);
};

const NowPlayingRecord kRadio{u"band", u"album", u"song", u"%T", u"Station\r\n\r\nsong"};
const NowPlayingRecord kLocal{u"band", u"album", u"song", u"%L: %A - %T", u""};

TEST_F(Refresh, RadioRunsEveryStepInOrder)
{
    RunNowPlaying(kRadio, window, window, playlist);
    EXPECT_EQ(log, (Log{"track album|band|song", status(kRadio), publish(kRadio),
                        "alert song radio", "switch", "file name", "ensure F", appendSong}));
}

TEST_F(Refresh, TheSwitchAndTheFormDecideTheLog)
{
    const struct {
        NowPlayingRecord record;
        int playlistSwitch;
        bool logs;
    } cases[] = {
        {kRadio, 1, true},
        {kRadio, 2, true},
        {kRadio, 0, false},
        {kLocal, 1, false},
        {{u"band", u"album", u"", u"%T", u"Station\r\n\r\n"}, 1, false},
    };
    for (const auto& c : cases) {
        log.clear();
        window.playlistSwitch = c.playlistSwitch;
        RunNowPlaying(c.record, window, window, playlist);
        ASSERT_GE(log.size(), 4u);
        EXPECT_EQ(log[3].rfind("alert ", 0), 0u) << "the popup step comes before the playlist";
        EXPECT_EQ(log.back() == appendSong, c.logs)
            << c.playlistSwitch << ' ' << U8(c.record.sMsg) << ": " << log.back();
    }
}

TEST_F(Refresh, AnEmptyStatusIsShownAndPublishedToo)
{
    RunNowPlaying({u"", u"", u"", u"", u""}, window, window, playlist);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1], "status ");
    EXPECT_EQ(log[2], "publish ");
}

TEST_F(Refresh, AFailingStepAbandonsTheRest)
{
    window.failPublish = true;
    EXPECT_THROW(RunNowPlaying(kRadio, window, window, playlist), std::runtime_error);
    EXPECT_EQ(log, (Log{"track album|band|song", status(kRadio), publish(kRadio)}));

    log.clear();
    window.failPublish = false;
    window.failAlert = true;
    EXPECT_THROW(RunNowPlaying(kRadio, window, window, playlist), std::runtime_error);
    EXPECT_EQ(log.back(), "alert song radio") << "no playlist line after a failed popup";
    EXPECT_TRUE(files.files.empty());
}

TEST_F(Refresh, AFailingPlaylistWriteDoesNot)
{
    files.failures[playlist.PathOf(u"p.txt")] = u"Is a directory";
    EXPECT_NO_THROW(RunNowPlaying(kRadio, window, window, playlist));
    EXPECT_EQ(files.warnings.size(), 1u);
}

struct AlertCall {
    std::string what;
    PopupId popup;
    std::u16string a, b, c, d;
};

class RecordingAlerts : public AlertPort {
public:
    void ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                          std::u16string_view sTitle, std::u16string_view sMsg) override
    {
        calls.push_back({"show", kNoPopup, std::u16string(sArtist), std::u16string(sAlbum),
                         std::u16string(sTitle), std::u16string(sMsg)});
    }
    void UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                             std::u16string_view sArtist, std::u16string_view sTitle) override
    {
        calls.push_back({"update",
                         oAlert,
                         std::u16string(sAlbum),
                         std::u16string(sArtist),
                         std::u16string(sTitle),
                         {}});
    }
    std::vector<AlertCall> calls;
};

TEST(AlertStep, APendingRequestWinsOverTheSwitchAndIsConsumed)
{
    const struct {
        bool request;
        const char16_t* ballons;
        const char* expected; // "show", "update" or nothing
    } cases[] = {
        {true, u"0", "update"}, {true, u"1", "update"}, {true, u"", "update"},
        {false, u"1", "show"},  {false, u"2", "show"},  {false, u"-1", "show"},
        {false, u"0", nullptr}, {false, u"", nullptr},  {false, u"junk", nullptr},
    };
    for (const auto& c : cases) {
        RecordingAlerts alerts;
        bool request = c.request;
        ShowOrUpdateAlert(alerts, request, 7, c.ballons, kRadio);
        EXPECT_FALSE(request);
        if (!c.expected) {
            EXPECT_TRUE(alerts.calls.empty()) << U8(c.ballons);
            continue;
        }
        ASSERT_EQ(alerts.calls.size(), 1u) << U8(c.ballons);
        EXPECT_EQ(alerts.calls[0].what, c.expected) << c.request << ' ' << U8(c.ballons);
    }
}

TEST(AlertStep, EachCallGetsItsTextsInItsOwnOrder)
{
    RecordingAlerts alerts;
    bool request = false;
    ShowOrUpdateAlert(alerts, request, 7, u"1", kRadio);
    request = true;
    ShowOrUpdateAlert(alerts, request, 7, u"1", kRadio);
    ASSERT_EQ(alerts.calls.size(), 2u);
    const AlertCall& shown = alerts.calls[0];
    EXPECT_EQ(shown.a, u"band");
    EXPECT_EQ(shown.b, u"album");
    EXPECT_EQ(shown.c, u"song");
    EXPECT_EQ(shown.d, u"Station\r\n\r\nsong");
    const AlertCall& updated = alerts.calls[1];
    EXPECT_EQ(updated.popup, 7u) << "the popup whose button was used";
    EXPECT_EQ(updated.a, u"album");
    EXPECT_EQ(updated.b, u"band");
    EXPECT_EQ(updated.c, u"song");
}

TEST(ReadsAsTrue, AnyNonZeroWholeNumber)
{
    const std::pair<const char16_t*, bool> cases[] = {
        {u"1", true},    {u"2", true},    {u"-1", true},      {u" 1 ", true},
        {u"+3", true},   {u"0", false},   {u"00", false},     {u"-0", false},
        {u"", false},    {u" ", false},   {u"junk", false},   {u"1.5", false},
        {u"0x1", false}, {u"1 0", false}, {u"\uFF11", false}, {u"99999999999999999999", false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ReadsAsTrue(text), expected) << '"' << U8(text) << '"';
}

} // namespace
} // namespace tessaly
