// The refresh as the window runs it (texts, status, popups, playlist) and the way out: Exit, the
// close box, the player's quitting question, and the windows that keep the process alive.

#include "Fakes.h"
#include "shell/SysTray.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>

namespace tessaly::test {
namespace {

struct Refresh : ::testing::Test {
    void SetUp() override { w = &rig.Load(); }
    QStringList PlaylistLines() const
    {
        QFile file(rig.programFolder() + "/Playlist.txt");
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    MainWindowRig rig;
    frmMain* w = nullptr;
};

TEST_F(Refresh, TextsStatusAndPopupOfTheExamples)
{
    struct Case {
        QString artist, album, title, status;
    };
    const Case cases[] = {
        {"the example band", "Road Songs", "Night_Drive [Live]",
         "Road Songs: The Example Band - Night Drive"},
        {"", "", "abc - night drive", ": - Abc - Night Drive"},
        {"", "", "", ""},
        {"Simon & Garfunkel", "Hits", "Boxer", "Hits: Simon & Garfunkel - Boxer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        rig.alerts->calls.clear();
        w->NowPlaying(c.artist, c.album, c.title, w->FormatString(), "");
        EXPECT_EQ(w->txtArtist->text(), c.artist);
        EXPECT_EQ(w->txtAlbum->text(), c.album);
        EXPECT_EQ(w->txtTitle->text(), c.title);
        EXPECT_EQ(w->txtNowPlaying->text(), c.status);
        EXPECT_EQ(rig.publisher.statuses.back(), c.status);
        // The popup port gets the raw texts; it doubles "&" for its captions itself.
        ASSERT_EQ(rig.alerts->calls.size(), 1u);
        EXPECT_EQ(rig.alerts->calls[0].kind, "show");
        EXPECT_EQ(rig.alerts->calls[0].artist, c.artist);
    }
    EXPECT_EQ(rig.publisher.statuses.size(), std::size(cases));
}

TEST_F(Refresh, BackOrForwardRequestUpdatesThatPopupOnceEvenWithNotificationsOff)
{
    QWidget popup;
    w->chkShowBallons->click();
    w->RecordAlertChange(&popup);
    EXPECT_TRUE(w->bAlertChange);
    w->NowPlaying("artist", "album", "title", w->FormatString(), "");
    EXPECT_FALSE(w->bAlertChange);
    ASSERT_EQ(rig.alerts->calls.size(), 1u);
    EXPECT_EQ(rig.alerts->calls[0].kind, "update");
    EXPECT_EQ(rig.alerts->calls[0].alert, &popup);
    EXPECT_EQ(rig.alerts->calls[0].album, "album");

    w->NowPlaying("artist", "album", "title", w->FormatString(), "");
    EXPECT_EQ(rig.alerts->calls.size(), 1u);
}

TEST_F(Refresh, ARecordedPopupThatClosedArrivesAsNull)
{
    auto* popup = new QWidget;
    w->RecordAlertChange(popup);
    delete popup;
    w->NowPlaying("a", "b", "c", w->FormatString(), "");
    ASSERT_EQ(rig.alerts->calls.size(), 1u);
    EXPECT_EQ(rig.alerts->calls[0].alert, nullptr);
}

TEST_F(Refresh, PlaylistLogsRadioTitlesOnly)
{
    const QString msg = "Station\r\n\r\n";
    w->NowPlaying("", "", "first", w->FormatString(), msg + "first"); // switch off
    w->chkPlaylist->click();
    w->NowPlaying("a", "b", "local", w->FormatString(), "");
    w->NowPlaying("", "", "", w->FormatString(), msg);
    w->NowPlaying("", "", "same", w->FormatString(), msg + "same");
    w->NowPlaying("", "", "same", w->FormatString(), msg + "same");
    w->chkPlaylist->setCheckState(Qt::PartiallyChecked);
    w->NowPlaying("", "", "grey", w->FormatString(), msg + "grey");
    EXPECT_EQ(PlaylistLines(), (QStringList{"same", "same", "grey"}));
}

TEST_F(Refresh, NewPlaylistNameTakesEffectAtTheNextTitle)
{
    w->chkPlaylist->click();
    w->NowPlaying("", "", "one", w->FormatString(), "S\r\n\r\none");
    w->txtPlaylist->setText("other.txt");
    w->NowPlaying("", "", "two", w->FormatString(), "S\r\n\r\ntwo");
    EXPECT_EQ(PlaylistLines(), QStringList{"one"});
    QFile other(rig.programFolder() + "/other.txt");
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), "two\n");
}

struct Shutdown : Refresh {};

TEST_F(Shutdown, ExitRemovesTheIconClosesAndEndsWhenNoWindowIsLeft)
{
    ASSERT_TRUE(IsTrayIconPresent());
    QWidget popup;
    popup.setObjectName("frmAlert6");
    popup.show();

    w->mnuExit_Click();
    EXPECT_FALSE(IsTrayIconPresent());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(rig.player.events, nullptr);
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(rig.quits, 0); // the popup is still up

    popup.close();
    EXPECT_TRUE(WaitUntil([&] { return rig.quits == 1; }, 1000));
    EXPECT_TRUE(rig.store.writes.size() == 7u); // only the start-up's write-back
}

TEST_F(Shutdown, CloseBoxEndsLikeExitAndAPopupDeletedWhileShownCounts)
{
    auto* popup = new QWidget;
    popup->setObjectName("frmAlert6");
    popup->show();
    w->close();
    EXPECT_FALSE(IsTrayIconPresent());
    WaitUntil([] { return false; }, 50);
    EXPECT_EQ(rig.quits, 0);
    delete popup;
    EXPECT_TRUE(WaitUntil([&] { return rig.quits == 1; }, 1000));
}

TEST_F(Shutdown, ExitFromAHiddenWindowEnds)
{
    w->showMinimized();
    EXPECT_TRUE(WaitUntil([&] { return !w->isVisible(); }, 1000)); // Form_Resize hid it
    EXPECT_TRUE(IsTrayIconPresent());
    w->mnuExit_Click();
    EXPECT_TRUE(WaitUntil([&] { return rig.quits == 1; }, 1000));
}

TEST_F(Shutdown, PlayerQuittingAsksAndYesExits)
{
    rig.shutdownAnswer = false;
    rig.player.events->OnQuittingEvent();
    EXPECT_EQ(rig.shutdownQuestions, 1);
    EXPECT_TRUE(IsTrayIconPresent());
    EXPECT_TRUE(w->isVisible());

    rig.shutdownAnswer = true;
    rig.player.events->OnQuittingEvent();
    EXPECT_FALSE(IsTrayIconPresent());
    EXPECT_TRUE(WaitUntil([&] { return rig.quits == 1; }, 1000));
}

TEST_F(Shutdown, TrayMessagesAndConfigure)
{
    ASSERT_NE(w->mnuPopup, nullptr);
    w->Form_MouseMove(kWM_RBUTTONUP);
    EXPECT_TRUE(w->mnuPopup->isVisible());
    w->mnuPopup->close();

    w->showMaximized();
    w->Form_MouseMove(kWM_RBUTTONUP);
    EXPECT_FALSE(w->mnuPopup->isVisible());
    w->showNormal();

    w->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(WaitUntil([&] { return !w->isVisible(); }, 1000));
    w->Form_MouseMove(kWM_LBUTTONUP);
    EXPECT_FALSE(w->isVisible());
    w->mnuShow_Click();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isMinimized());
}

} // namespace
} // namespace tessaly::test
