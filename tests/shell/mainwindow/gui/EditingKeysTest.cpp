// The main window's keys and read-only boxes as a person meets them: the tray menu's Ctrl
// shortcuts do not act in the window, where the standard editing keys keep their meaning, and a
// status longer than its box shows its beginning.

#include "Fakes.h"
#include "shell/qt/SysTray.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace tessaly::test {
namespace {

// Where the caret is drawn in the box: left while the start of the text is in view.
int CaretX(const QLineEdit* box)
{
    return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
}

struct ShownWindow : ::testing::Test {
    void SetUp() override
    {
        w = &rig.Load();
        ASSERT_TRUE(w->isVisible());
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w, 10000));
    }
    // Still running: nothing closed the window, asked to quit or took the icon away.
    void ExpectStillRunning()
    {
        WaitUntil([] { return false; }, 100);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(w->Loaded());
        EXPECT_TRUE(IsTrayIconPresent());
        EXPECT_EQ(rig.quits, 0);
    }
    MainWindowRig rig;
    frmMain* w = nullptr;
};

TEST_F(ShownWindow, CtrlKeysInReadOnlyBoxesAndCheckBoxesNeverRunTrayCommands)
{
    rig.Refresh("Fjord Songs", "Northern Lights", "Aurora");
    QLineEdit* const readOnly[] = {w->txtArtist, w->txtAlbum, w->txtTitle, w->txtNowPlaying};
    for (QLineEdit* box : readOnly) {
        SCOPED_TRACE(box->objectName().toStdString());
        const QString before = box->text();
        box->setFocus();
        box->selectAll();
        // Ctrl+X is the menu's "E&xit"; in a read-only box it cuts nothing.
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(box->text(), before);
        ExpectStillRunning();
    }

    w->chkShowBallons->setFocus();
    for (const Qt::Key key : {Qt::Key_X, Qt::Key_C, Qt::Key_A, Qt::Key_H, Qt::Key_D, Qt::Key_O})
        QTest::keyClick(w->chkShowBallons, key, Qt::ControlModifier);
    EXPECT_EQ(w->chkShowBallons->checkState(), Qt::Checked);
    ExpectStillRunning();
}

TEST_F(ShownWindow, StandardEditingKeysWorkInTheBoxes)
{
    rig.Refresh("Fjord Songs", "Northern Lights", "Aurora");
    w->txtArtist->setFocus();
    QTest::keyClick(w->txtArtist, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->txtArtist->selectedText(), QStringLiteral("Fjord Songs"));
    QTest::keyClick(w->txtArtist, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Fjord Songs"));

    // In an editable box Ctrl+X cuts.
    w->txtPlaylist->setFocus();
    QTest::keyClick(w->txtPlaylist, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w->txtPlaylist, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(w->txtPlaylist->text().isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Playlist.txt"));
    ExpectStillRunning();
}

TEST_F(ShownWindow, ALongStatusShowsItsBeginning)
{
    const QString title = QStringLiteral("A Very Long Title That Goes On Far Beyond The Width Of "
                                         "The Box, Longer Still, And Then Some More");
    rig.Refresh("Fjord Songs", "", title);
    QLineEdit* status = w->txtNowPlaying;
    ASSERT_GT(status->fontMetrics().horizontalAdvance(status->text()), status->width());
    WaitUntil([] { return false; }, 50);
    // The caret, and with it the visible part, sits at the first character.
    EXPECT_EQ(status->cursorPosition(), 0);
    EXPECT_LT(CaretX(status), status->width() / 4);

    // The same for the next status after the box had the focus and the caret was moved to the
    // end (a refresh that leaves the status as it was leaves the caret too).
    status->setFocus();
    status->end(false);
    rig.Refresh("Fjord Songs", "", title + QStringLiteral(" Reprise"));
    WaitUntil([] { return false; }, 50);
    EXPECT_LT(CaretX(status), status->width() / 4);
    EXPECT_LT(CaretX(w->txtTitle), w->txtTitle->width() / 4);
}

} // namespace
} // namespace tessaly::test
