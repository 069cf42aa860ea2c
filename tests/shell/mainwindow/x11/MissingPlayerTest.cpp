// The program without a session bus, on a real display: one "Critcal Error" box, and once it is
// closed the process ends without a tray icon or a single file written.

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QProcess>

namespace tessaly::test {
namespace {

// Window ids of visible windows whose title is exactly `title`.
QStringList WindowsNamed(const QString& title)
{
    QProcess xdotool;
    xdotool.start("xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"});
    xdotool.waitForFinished(5000);
    return QString::fromUtf8(xdotool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QStringList FilesUnder(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

TEST(MissingPlayerOnX11, OneBoxThenTheProgramEndsHavingTouchedNothing)
{
    TempHome home;
    ChildProcess tessaly("tessaly");
    ASSERT_TRUE(tessaly.start(
        TESSALY_PROGRAM, {},
        {"DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus", "QT_QPA_PLATFORM=xcb"}));
    QStringList boxes;
    ASSERT_TRUE(WaitUntil(
        [&] {
            boxes = WindowsNamed("Critcal Error");
            return !boxes.isEmpty();
        },
        10000));
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(WindowsNamed("Tessaly").isEmpty());
    EXPECT_TRUE(tessaly.isRunning()); // the box is modal: nothing goes on until it is closed

    QProcess::execute("xdotool", {"windowactivate", "--sync", boxes.first()});
    QProcess::execute("xdotool", {"key", "Return"});
    ASSERT_TRUE(tessaly.waitForExit(10000));
    EXPECT_EQ(tessaly.exitCode(), 1);
    EXPECT_EQ(FilesUnder(home.configHome()), QStringList());
    EXPECT_EQ(FilesUnder(home.dataHome()), QStringList());
}

} // namespace
} // namespace tessaly::test
