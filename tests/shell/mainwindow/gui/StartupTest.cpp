// frmMain's start-up against fake services: what the window shows, what goes back to the store,
// and the missing-player path.

#include "Fakes.h"
#include "shell/SpinScrollBar.h"
#include "shell/SysTray.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

namespace tessaly::test {
namespace {

int Alpha(const QWidget& w)
{
    return qRound(w.windowOpacity() * 255);
}

TEST(MainWindowStartup, EmptyStoreShowsAndWritesBackTheDefaults)
{
    MainWindowRig rig;
    frmMain& w = rig.Load();

    EXPECT_TRUE(w.Loaded());
    EXPECT_EQ(w.txtFormatString->text(), "%L: %A - %T");
    EXPECT_EQ(w.txtPlaylist->text(), "Playlist.txt");
    EXPECT_EQ(w.VSOpacity->Value(), 80);
    EXPECT_EQ(w.txtOpacity->text(), "80");
    EXPECT_EQ(w.VSMainOpacity->Value(), 80);
    EXPECT_EQ(w.txtMainOpacity->text(), "80");
    EXPECT_EQ(w.chkShowBallons->checkState(), Qt::Checked);
    EXPECT_EQ(w.chkStartMinimized->checkState(), Qt::Unchecked);
    EXPECT_EQ(w.chkPlaylist->checkState(), Qt::Unchecked);
    EXPECT_EQ(Alpha(w), 204);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.bAlertChange);
    EXPECT_TRUE(IsTrayIconPresent());
    EXPECT_EQ(rig.player.appCommandCalls, 1);
    EXPECT_EQ(rig.player.events != nullptr, true);

    const std::map<QString, QString> defaults{
        {"Minimized", "0"},       {"Ballons", "1"},       {"Opacity", "80"},
        {"MainOpacity", "80"},    {"RadioPlayList", "0"}, {"PlaylistFile", "Playlist.txt"},
        {"Format", "%L: %A - %T"}};
    EXPECT_EQ(rig.store.values, defaults);
    EXPECT_EQ(w.FormatString(), "%L: %A - %T");
}

TEST(MainWindowStartup, MainOpacityBelowTheFloorIsRaisedTo20)
{
    MainWindowRig rig;
    rig.store.values["MainOpacity"] = "10";
    frmMain& w = rig.Load();
    EXPECT_EQ(w.VSMainOpacity->Value(), 20);
    EXPECT_EQ(w.txtMainOpacity->text(), "20");
    EXPECT_EQ(rig.store.values["MainOpacity"], "20");
    EXPECT_EQ(Alpha(w), 51);
}

TEST(MainWindowStartup, MinimizedStartStaysHiddenWithTheTrayIcon)
{
    MainWindowRig rig;
    rig.store.values["Minimized"] = "1";
    frmMain& w = rig.Load();
    WaitUntil([] { return false; }, 50);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.isMinimized());
    EXPECT_TRUE(IsTrayIconPresent());
    EXPECT_EQ(w.chkStartMinimized->checkState(), Qt::Checked);

    w.Form_MouseMove(kWM_LBUTTONDBLCLK);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

// Values outside their domains fall back to the default (or the nearest end of the range) and the
// recovered value is what the store holds afterwards.
TEST(MainWindowStartup, StoredValuesOutsideTheirDomainsRecover)
{
    struct Case {
        const char* text;
        int minimized, ballons, opacity, mainOpacity, playlist;
    };
    const Case cases[] = {
        {"abc", 0, 1, 80, 80, 0}, {"", 0, 1, 80, 80, 0},  {"99999", 0, 1, 80, 80, 0},
        {"1.5", 0, 1, 80, 80, 0}, {"-3", 0, 0, 0, 20, 0}, {"150", 2, 2, 100, 100, 2},
        {" 7 ", 2, 2, 7, 20, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MainWindowRig rig;
        for (const char* key : {"Minimized", "Ballons", "Opacity", "MainOpacity", "RadioPlayList",
                                "PlaylistFile", "Format"})
            rig.store.values[key] = QString::fromLatin1(c.text);
        frmMain& w = rig.Load();
        EXPECT_EQ(rig.store.values["Minimized"], QString::number(c.minimized));
        EXPECT_EQ(rig.store.values["Ballons"], QString::number(c.ballons));
        EXPECT_EQ(rig.store.values["Opacity"], QString::number(c.opacity));
        EXPECT_EQ(w.txtOpacity->text(), QString::number(c.opacity));
        EXPECT_EQ(w.VSMainOpacity->Value(), c.mainOpacity);
        EXPECT_EQ(w.txtMainOpacity->text(), QString::number(c.mainOpacity));
        EXPECT_EQ(rig.store.values["RadioPlayList"], QString::number(c.playlist));
        // Texts are any text: kept as stored.
        EXPECT_EQ(w.txtPlaylist->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(w.FormatString(), QString::fromLatin1(c.text));
        EXPECT_TRUE(w.Loaded());
    }
}

TEST(MainWindowStartup, GreyCheckValueIsKeptAndCountsAsOn)
{
    MainWindowRig rig;
    rig.store.values["Minimized"] = "2";
    frmMain& w = rig.Load();
    EXPECT_EQ(w.chkStartMinimized->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(rig.store.values["Minimized"], "2");
    EXPECT_FALSE(w.isVisible());
    // A click leaves grey for a plain tick state.
    w.chkStartMinimized->click();
    EXPECT_EQ(rig.store.values["Minimized"], "0");
}

TEST(MainWindowStartup, MissingPlayerShowsOneBoxTouchesNothingAndEnds)
{
    MainWindowRig rig;
    rig.noPlayer = true;
    frmMain& w = rig.Load();
    EXPECT_FALSE(w.Loaded());
    EXPECT_EQ(rig.boxes, 1);
    EXPECT_TRUE(rig.store.writes.empty());
    EXPECT_FALSE(IsTrayIconPresent());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(WaitUntil([&] { return rig.quits == 1; }, 1000));
    EXPECT_TRUE(rig.publisher.statuses.empty());
}

TEST(MainWindowStartup, PlayerWithoutTrackSkipsTheFirstRefresh)
{
    MainWindowRig rig;
    frmMain& w = rig.Load();
    EXPECT_TRUE(rig.publisher.statuses.empty());
    EXPECT_TRUE(rig.alerts->calls.empty());
    EXPECT_TRUE(w.txtArtist->text().isEmpty());
    EXPECT_TRUE(w.txtNowPlaying->text().isEmpty());
}

TEST(MainWindowStartup, FirstRefreshOfALocalTrackAndOfAStream)
{
    MainWindowRig local;
    local.player.current =
        TrackTexts{kFileKind, u"the example band", u"Road Songs", u"Night_Drive"};
    frmMain& w = local.Load();
    EXPECT_EQ(w.txtTitle->text(), "Night_Drive");
    ASSERT_EQ(local.publisher.statuses.size(), 1u);
    EXPECT_EQ(local.publisher.statuses[0], "Road Songs: The Example Band - Night Drive");
    ASSERT_EQ(local.alerts->calls.size(), 1u);
    EXPECT_TRUE(local.alerts->calls[0].msg.isEmpty());

    MainWindowRig radio;
    radio.player.current = TrackTexts{kStreamKind, u"", u"", u"Station One"};
    radio.player.streamTitle = u"abc - night drive";
    frmMain& r = radio.Load();
    EXPECT_EQ(r.txtTitle->text(), "abc - night drive");
    EXPECT_EQ(r.txtNowPlaying->text(), ": - Abc - Night Drive");
    ASSERT_EQ(radio.alerts->calls.size(), 1u);
    EXPECT_EQ(radio.alerts->calls[0].msg, "Station One\r\n\r\nabc - night drive");
}

TEST(MainWindowStartup, LayoutNamesCaptionsAndTabOrder)
{
    MainWindowRig rig;
    frmMain& w = rig.Load();
    EXPECT_EQ(w.objectName(), "frmMain");
    EXPECT_EQ(w.windowTitle(), "Tessaly");
    EXPECT_EQ(w.size(), QSize(289, 377));
    EXPECT_EQ(w.txtInstructions->toPlainText(), "Specify the format of the status display:\n"
                                                "   %A - Artist\n   %L - Album\n   %T - Title\n"
                                                "ex. %L: %A - %T\n");
    EXPECT_EQ(w.chkShowBallons->text(), "   Show Notifications");
    EXPECT_EQ(w.chkStartMinimized->text(), " Start Minimized");
    EXPECT_TRUE(w.txtArtist->isReadOnly());
    EXPECT_FALSE(w.txtFormatString->isReadOnly());
    EXPECT_TRUE(w.Frame1->font().bold());
    EXPECT_FALSE(w.lblArtist->font().bold());

    const QWidget* order[] = {w.txtArtist,       w.txtAlbum,          w.txtTitle,
                              w.txtFormatString, w.txtInstructions,   w.txtNowPlaying,
                              w.chkShowBallons,  w.chkStartMinimized, w.txtOpacity,
                              w.VSOpacity,       w.VSMainOpacity,     w.txtMainOpacity,
                              w.chkPlaylist,     w.txtPlaylist};
    // The next widget Tab reaches from each.
    const auto nextTabStop = [](const QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while (next != from && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        EXPECT_EQ(nextTabStop(order[i - 1]), order[i]) << order[i]->objectName().toStdString();
}

} // namespace
} // namespace tessaly::test
