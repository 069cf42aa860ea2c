// frmMain's start-up against fake services, as its widgets carry it out: what the controls and the
// window show, that each control's signal reaches its handler once, and the missing-player path.
// The start-up's rules themselves are proven without Qt in the shell's core suite.

#include "Fakes.h"
#include "shell/qt/SpinScrollBar.h"
#include "shell/qt/SysTray.h"
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
    EXPECT_FALSE(w.Controller().bAlertChange);
    EXPECT_TRUE(IsTrayIconPresent());
    EXPECT_EQ(rig.player.appCommandCalls, 1);
    EXPECT_NE(rig.player.events, nullptr);

    EXPECT_EQ(rig.store.values, kDefaultSettings);
    // A widget set to the value it holds stays quiet, so each handler ran exactly once.
    EXPECT_EQ(rig.store.writes.size(), 7u);
    EXPECT_EQ(w.Controller().FormatString(), u"%L: %A - %T");
}

TEST(MainWindowStartup, MainOpacityBelowTheFloorIsRaisedTo20)
{
    MainWindowRig rig;
    rig.Put("MainOpacity", "10");
    frmMain& w = rig.Load();
    EXPECT_EQ(w.VSMainOpacity->Value(), 20);
    EXPECT_EQ(w.txtMainOpacity->text(), "20");
    EXPECT_EQ(rig.Stored("MainOpacity"), "20");
    EXPECT_EQ(Alpha(w), 51);
    // The scroll bar's signal re-entered the handler once, from inside the first run.
    int mainOpacityWrites = 0;
    for (const auto& [key, text] : rig.store.writes)
        mainOpacityWrites += key == u"MainOpacity" ? 1 : 0;
    EXPECT_EQ(mainOpacityWrites, 2);
}

TEST(MainWindowStartup, MinimizedStartStaysHiddenWithTheTrayIcon)
{
    MainWindowRig rig;
    rig.Put("Minimized", "1");
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

TEST(MainWindowStartup, GreyCheckValueIsKeptAndCountsAsOn)
{
    MainWindowRig rig;
    rig.Put("Minimized", "2");
    frmMain& w = rig.Load();
    EXPECT_EQ(w.chkStartMinimized->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(rig.Stored("Minimized"), "2");
    EXPECT_FALSE(w.isVisible());
    // A click leaves grey for a plain tick state.
    w.chkStartMinimized->click();
    EXPECT_EQ(rig.Stored("Minimized"), "0");
}

TEST(MainWindowStartup, MissingPlayerShowsOneBoxTouchesNothingAndEnds)
{
    MainWindowRig rig;
    rig.noPlayer = true;
    frmMain& w = rig.Load();
    EXPECT_FALSE(w.Loaded());
    EXPECT_EQ(rig.boxes, 1);
    EXPECT_TRUE(rig.store.writes.empty());
    EXPECT_EQ(rig.store.reads, 0);
    EXPECT_FALSE(IsTrayIconPresent());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(WaitUntil([&] { return rig.quits == 1; }, 1000));
    EXPECT_TRUE(rig.publisher.statuses.empty());
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
