// The refresh as the window shows it (texts, status, popups, the playlist's box and name) and the
// way out: Exit, the close box, the player's quitting question, the windows that keep the process
// alive, and the tray icon's clicks on a real window.

#include "Fakes.h"
#include "shell/qt/SysTray.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>

namespace tessaly::test {
namespace {

struct Refresh : ::testing::Test {
    void SetUp() override { w = &rig.Load(); }
    QStringList PlaylistLines(std::u16string_view name) const
    {
        return QString::fromStdString(rig.files.Contents(name)).split('\n', Qt::SkipEmptyParts);
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
        rig.Refresh(c.artist, c.album, c.title);
        EXPECT_EQ(w->txtArtist->text(), c.artist);
        EXPECT_EQ(w->txtAlbum->text(), c.album);
        EXPECT_EQ(w->txtTitle->text(), c.title);
        EXPECT_EQ(w->txtNowPlaying->text(), c.status);
        EXPECT_EQ(ToQString(rig.publisher.statuses.back()), c.status);
        // The popup port gets the raw texts; it doubles "&" for its captions itself.
        ASSERT_EQ(rig.alerts->calls.size(), 1u);
        EXPECT_EQ(rig.alerts->calls[0].kind, "show");
        EXPECT_EQ(ToQString(rig.alerts->calls[0].artist), c.artist);
    }
    EXPECT_EQ(rig.publisher.statuses.size(), std::size(cases));
}

// The next track of the same album must not take away what the user selected to copy.
TEST_F(Refresh, ABoxWhoseTextStaysKeepsTheUsersSelection)
{
    rig.Refresh("the example band", "Road Songs", "Night Drive");
    w->txtAlbum->setSelection(5, 5);
    w->txtTitle->setSelection(0, 5);
    rig.Refresh("the example band", "Road Songs", "Day Drive");
    EXPECT_EQ(w->txtAlbum->selectedText(), "Songs");
    EXPECT_EQ(w->txtTitle->text(), "Day Drive");
    EXPECT_FALSE(w->txtTitle->hasSelectedText());
    EXPECT_EQ(w->txtTitle->cursorPosition(), 0);
}

TEST_F(Refresh, PlaylistFollowsItsBoxAndItsFileName)
{
    // The switch and the name are read from the widgets at each refresh: a click, a grey state
    // and an edited name all count from the next title on.
    const QString msg = "Station\r\n\r\n";
    rig.Refresh("", "", "off", msg + "off");
    w->chkPlaylist->click();
    rig.Refresh("", "", "on", msg + "on");
    w->chkPlaylist->setCheckState(Qt::PartiallyChecked);
    rig.Refresh("", "", "grey", msg + "grey");
    w->txtPlaylist->setText("other.txt");
    rig.Refresh("", "", "other", msg + "other");
    EXPECT_EQ(PlaylistLines(u"Playlist.txt"), (QStringList{"on", "grey"}));
    EXPECT_EQ(PlaylistLines(u"other.txt"), QStringList{"other"});
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
    rig.question.answer = false;
    rig.player.events->OnQuittingEvent();
    EXPECT_EQ(rig.question.asked, 1);
    EXPECT_TRUE(IsTrayIconPresent());
    EXPECT_TRUE(w->isVisible());

    rig.question.answer = true;
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

    // Maximised and full screen both make the icon inert.
    w->showMaximized();
    w->Form_MouseMove(kWM_RBUTTONUP);
    EXPECT_FALSE(w->mnuPopup->isVisible());
    w->showFullScreen();
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
