// What cAlert::MSN6 and the refresh's popup step make a popup show, through a recording view.

#include "popup/cAlert.h"

#include "popup/RefreshAlert.h"
#include "support/core/CoreTestText.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::test::U16;

class FakeView : public AlertView {
public:
    void SetCaption(AlertText label, std::u16string_view caption) override
    {
        Touch();
        captions[label] = caption;
    }
    void Hide(AlertPart control) override
    {
        Touch();
        hidden.insert(control);
    }
    void UseHandCursorOnMessage() override
    {
        Touch();
        handCursor = true;
    }
    void RestartHold() override
    {
        Touch();
        ++holdRestarts;
    }
    void Show() override
    {
        Touch();
        ++shows;
    }

    // The caption as set; null when the plan never set it.
    const std::u16string* Caption(AlertText label) const
    {
        const auto it = captions.find(label);
        return it == captions.end() ? nullptr : &it->second;
    }

    std::map<AlertText, std::u16string> captions;
    std::set<AlertPart> hidden;
    bool handCursor = false;
    int holdRestarts = 0;
    int shows = 0;
    // Calls that came after the popup was shown: a popup must be complete when it appears.
    int callsAfterShow = 0;

private:
    void Touch()
    {
        if (shows > 0)
            ++callsAfterShow;
    }
};

class FakeViews : public AlertViews {
public:
    AlertView& NewAlertView() override
    {
        opened.push_back(std::make_unique<FakeView>());
        return *opened.back();
    }
    FakeView& Only()
    {
        EXPECT_EQ(opened.size(), 1u);
        if (opened.empty())
            opened.push_back(std::make_unique<FakeView>());
        return *opened.front();
    }

    std::vector<std::unique_ptr<FakeView>> opened;
};

// Opened once, complete before it was shown, and shown once.
void ExpectShownComplete(const FakeView& view)
{
    EXPECT_EQ(view.shows, 1);
    EXPECT_EQ(view.callsAfterShow, 0);
    EXPECT_EQ(view.holdRestarts, 0);
}

// A case's name and the texts of the track it shows.
struct TrackCase {
    const char* name;
    const char* artist;
    const char* album;
    const char* title;
};

const std::set<AlertPart> kButtons = {AlertPart::imgBack, AlertPart::imgPause,
                                      AlertPart::imgForward};

TEST(cAlertPlan, TrackFormWritesTheRowsTheMembersFillAndHidesTheOtherCaptions)
{
    const struct : TrackCase {
        std::set<AlertPart> hidden;
    } cases[] = {
        {{"all three", "The Example Band", "Road Songs", "Night Drive"}, {}},
        {{"no album", "Band", "", "Song"}, {AlertPart::lblAlbum}},
        {{"artist only", "Only Artist", "", ""}, {AlertPart::lblAlbum, AlertPart::lblSongTitle}},
        {{"title only", "", "", "T"}, {AlertPart::lblArtist, AlertPart::lblAlbum}},
        {{"none", "", "", ""},
         {AlertPart::lblArtist, AlertPart::lblAlbum, AlertPart::lblSongTitle}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeViews views;
        cAlert alert(views);
        alert.Title = u"iTunes Playing...";
        alert.Artist = U16(c.artist);
        alert.Album = U16(c.album);
        alert.SongTitle = U16(c.title);
        alert.MSN6();
        const FakeView& view = views.Only();
        ExpectShownComplete(view);
        EXPECT_EQ(view.hidden, c.hidden); // the buttons stay in the track form
        EXPECT_EQ(*view.Caption(AlertText::lblTitle), u"iTunes Playing...");
        const struct {
            const std::u16string& member;
            AlertText label;
        } rows[] = {{alert.Artist, AlertText::lbl_Artist},
                    {alert.Album, AlertText::lbl_Album},
                    {alert.SongTitle, AlertText::lbl_Title}};
        for (const auto& row : rows) {
            const std::u16string* caption = view.Caption(row.label);
            if (row.member.empty()) {
                EXPECT_EQ(caption, nullptr) << "an empty member leaves the design's caption";
            } else {
                ASSERT_NE(caption, nullptr);
                EXPECT_EQ(*caption, row.member);
            }
        }
        EXPECT_EQ(view.Caption(AlertText::lblAlert), nullptr);
        EXPECT_EQ(view.Caption(AlertText::lblLink), nullptr);
        EXPECT_EQ(view.Caption(AlertText::lblURL), nullptr);
        EXPECT_FALSE(view.handCursor);
    }
}

TEST(cAlertPlan, MessageFormHidesTheRowsAndButtonsWhateverTheTrackMembers)
{
    FakeViews views;
    cAlert alert(views);
    alert.Title = u"iTunes Radio...";
    alert.Artist = u"ignored";
    alert.Album = u"ignored too";
    alert.Message = u"Radio One\r\n\r\nA & B - Song";
    alert.MSN6();
    const FakeView& view = views.Only();
    ExpectShownComplete(view);
    std::set<AlertPart> all = kButtons;
    all.insert({AlertPart::lblArtist, AlertPart::lblAlbum, AlertPart::lblSongTitle});
    EXPECT_EQ(view.hidden, all);
    EXPECT_EQ(*view.Caption(AlertText::lblTitle), u"iTunes Radio...");
    EXPECT_EQ(*view.Caption(AlertText::lblAlert), alert.Message); // as written, not doubled
    for (AlertText row : {AlertText::lbl_Artist, AlertText::lbl_Album, AlertText::lbl_Title})
        EXPECT_EQ(view.Caption(row), nullptr);
}

TEST(cAlertPlan, LinkMakesTheMessageAreaAHandLinkInEitherForm)
{
    for (const bool message : {false, true}) {
        SCOPED_TRACE(message ? "message form" : "track form");
        FakeViews views;
        cAlert alert(views);
        alert.Artist = u"x";
        if (message)
            alert.Message = u"m";
        alert.Link = true;
        alert.sUrl = u"https://example.org/tessaly";
        alert.MSN6();
        const FakeView& view = views.Only();
        ExpectShownComplete(view);
        EXPECT_TRUE(view.handCursor);
        EXPECT_EQ(*view.Caption(AlertText::lblURL), u"https://example.org/tessaly");
        EXPECT_EQ(*view.Caption(AlertText::lblLink), u"True");
    }
}

TEST(cAlertPlan, EveryCallOpensAnotherPopup)
{
    FakeViews views;
    cAlert alert(views);
    alert.Artist = u"A";
    alert.MSN6();
    alert.Artist = u"B";
    alert.MSN6();
    ASSERT_EQ(views.opened.size(), 2u);
    EXPECT_EQ(*views.opened[0]->Caption(AlertText::lbl_Artist), u"A");
    EXPECT_EQ(*views.opened[1]->Caption(AlertText::lbl_Artist), u"B");
    ExpectShownComplete(*views.opened[0]);
    ExpectShownComplete(*views.opened[1]);
}

TEST(RefreshAlert, TheTwoFormsOfARefresh)
{
    const struct : TrackCase {
        const char* msg;
        std::map<AlertText, std::u16string> captions;
        std::set<AlertPart> hidden;
    } cases[] = {
        {{"track, texts shown literally", "Simon & Garfunkel", "R&B", "Night && Day"},
         "",
         {{AlertText::lblTitle, u"iTunes Playing..."},
          {AlertText::lbl_Artist, u"Simon && Garfunkel"},
          {AlertText::lbl_Album, u"R&&B"},
          {AlertText::lbl_Title, u"Night &&&& Day"}},
         {}},
        {{"track without album", "A", "", "T"},
         "",
         {{AlertText::lblTitle, u"iTunes Playing..."},
          {AlertText::lbl_Artist, u"A"},
          {AlertText::lbl_Title, u"T"}},
         {AlertPart::lblAlbum}},
        {{"radio, the message as it is", "", "", "Some - Title"},
         "Radio & Co\r\n\r\nSome - Title",
         {{AlertText::lblTitle, u"iTunes Radio..."},
          {AlertText::lblAlert, u"Radio & Co\r\n\r\nSome - Title"}},
         {AlertPart::lblArtist, AlertPart::lblAlbum, AlertPart::lblSongTitle, AlertPart::imgBack,
          AlertPart::imgPause, AlertPart::imgForward}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeViews views;
        OpenRefreshAlert(views, U16(c.artist), U16(c.album), U16(c.title), U16(c.msg));
        const FakeView& view = views.Only();
        ExpectShownComplete(view);
        EXPECT_EQ(view.captions, c.captions); // never a link
        EXPECT_EQ(view.hidden, c.hidden);
        EXPECT_FALSE(view.handCursor);
    }
}

TEST(RefreshAlert, UpdateWritesTheRowsRawAndRestartsTheHoldOnce)
{
    FakeView view;
    UpdateAlertRows(view, u"R&B", u"Tom & Jerry", u"");
    const std::map<AlertText, std::u16string> rows = {{AlertText::lbl_Album, u"R&B"},
                                                      {AlertText::lbl_Artist, u"Tom & Jerry"},
                                                      {AlertText::lbl_Title, u""}};
    EXPECT_EQ(view.captions, rows); // an empty text empties its row; the heading stays
    EXPECT_TRUE(view.hidden.empty());
    EXPECT_EQ(view.holdRestarts, 1);
    EXPECT_EQ(view.shows, 0);
}

} // namespace
