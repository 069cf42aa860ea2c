// The radio playlist writer, its error log, the logging rule, and the refresh's order of steps.

#include "watcher/RadioPlaylist.h"

#include "publisher/StatusPublisher.h"
#include "shell/AlertPort.h"
#include "support/TestEnvironment.h"
#include "watcher/NowPlaying.h"
#include "watcher/ProgramFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tessaly {
namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Playlist : ::testing::Test {
    QTemporaryDir temp;
    QString folder = temp.path() + "/data/Tessaly";
    RadioPlaylist playlist{folder};
};

TEST_F(Playlist, AppendsWholeLinesAndCreatesTheFolder)
{
    EXPECT_TRUE(playlist.Append("Playlist.txt", "Artist - Song"));
    EXPECT_TRUE(playlist.Append("Playlist.txt", "Artist - Song"));
    EXPECT_TRUE(playlist.Append("Playlist.txt", "Ünïcode & more"));
    EXPECT_EQ(Contents(folder + "/Playlist.txt"),
              QByteArray("Artist - Song\nArtist - Song\n") + QString("Ünïcode & more\n").toUtf8());
    EXPECT_FALSE(QFile::exists(folder + "/error.txt"));
}

TEST_F(Playlist, ALineBreakInsideATitleDoesNotSplitIt)
{
    playlist.Append("p.txt", "one\r\ntwo\nthree\rfour");
    EXPECT_EQ(Contents(folder + "/p.txt"), "one two three four\n");
}

TEST_F(Playlist, AbsoluteNameIsUsedAsItIs)
{
    const QString path = temp.path() + "/elsewhere.txt";
    EXPECT_EQ(playlist.PathOf(path), path);
    EXPECT_EQ(playlist.PathOf("sub/p.txt"), folder + "/sub/p.txt");
    playlist.Append(path, "x");
    EXPECT_EQ(Contents(path), "x\n");
}

TEST_F(Playlist, FileThatCannotBeWrittenCostsOneErrorLine)
{
    // A folder where the file should be: no user, root included, can open it for writing.
    ASSERT_TRUE(QDir().mkpath(folder + "/Playlist.txt"));
    EXPECT_FALSE(playlist.Append("Playlist.txt", "lost title"));
    EXPECT_FALSE(playlist.Append("Playlist.txt", "lost title"));
    const QList<QByteArray> lines = Contents(folder + "/error.txt").split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest
    const QByteArray prefix = "An Error Ocured while opening the playlist file '" +
                              (folder + "/Playlist.txt'; ").toUtf8();
    EXPECT_TRUE(lines[0].startsWith(prefix)) << lines[0].toStdString();
    EXPECT_GT(lines[0].size(), prefix.size()); // a description follows
    EXPECT_EQ(lines[0], lines[1]);
    // The next good name works again.
    EXPECT_TRUE(playlist.Append("other.txt", "t"));
}

TEST_F(Playlist, EmptyNameIsAnErrorNotACrash)
{
    EXPECT_FALSE(playlist.Append("", "t"));
    EXPECT_TRUE(Contents(folder + "/error.txt").startsWith("An Error Ocured"));
}

TEST_F(Playlist, FolderThatCannotBeCreatedIsReportedAndNothingElse)
{
    QFile blocker(temp.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RadioPlaylist blocked(temp.path() + "/file/Tessaly");
    EXPECT_FALSE(blocked.Append("Playlist.txt", "t"));
}

TEST(RadioLogRule, OnlyRadioRefreshesWithATitleWhileTheSwitchIsNotClear)
{
    struct Case {
        int sw;
        const char* msg;
        const char* title;
        bool logs;
    };
    const Case cases[] = {
        {1, "S\r\n\r\nT", "T", true}, {2, "S\r\n\r\nT", "T", true}, {0, "S\r\n\r\nT", "T", false},
        {1, "", "T", false},          {1, "S\r\n\r\n", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShouldLogRadioTitle(c.sw, c.msg, c.title), c.logs) << c.sw << c.msg << c.title;
}

TEST(ProgramFolderPath, FollowsXdgDataHome)
{
    test::ScopedEnv env;
    env.set("XDG_DATA_HOME", "/tmp/xdg-data");
    EXPECT_EQ(ProgramFolder(), "/tmp/xdg-data/Tessaly");
    env.set("XDG_DATA_HOME", "relative/path");
    env.set("HOME", "/tmp/home");
    EXPECT_EQ(ProgramFolder(), "/tmp/home/.local/share/Tessaly");
    env.unset("XDG_DATA_HOME");
    EXPECT_EQ(ProgramFolder(), "/tmp/home/.local/share/Tessaly");
}

// The refresh in order, with a window that records what it is told.
class RecordingWindow : public NowPlayingWindow, public StatusPublisher {
public:
    void ShowTrack(const QString& l, const QString& a, const QString& t) override
    {
        log << "track " + l + "|" + a + "|" + t;
    }
    void ShowStatus(const QString& status) override { log << "status " + status; }
    void ShowAlert(const NowPlayingRecord& r) override { log << "alert " + r.sTitle; }
    int PlaylistSwitch() const override { return 1; }
    QString PlaylistFileName() const override { return "p.txt"; }
    void SetYahooStatus(const std::u16string& text) override
    {
        log << "publish " + QString::fromStdU16String(text);
    }
    QStringList log;
};

TEST_F(Playlist, RefreshRunsItsStepsInOrder)
{
    RecordingWindow window;
    RunNowPlaying({"band", "album", "song", "%T", "Station\r\n\r\nsong"}, window, window, playlist);
    EXPECT_EQ(window.log,
              (QStringList{"track album|band|song", "status Song", "publish Song", "alert song"}));
    EXPECT_EQ(Contents(folder + "/p.txt"), "song\n");

    window.log.clear();
    RunNowPlaying({"", "", "", "%L: %A - %T", ""}, window, window, playlist);
    EXPECT_EQ(window.log.at(2), "publish "); // published even when empty
}

class RecordingAlerts : public AlertPort {
public:
    void ShowRefreshAlert(const QString&, const QString&, const QString&, const QString&) override
    {
        ++shown;
    }
    void UpdateRecordedAlert(QWidget*, const QString&, const QString&, const QString&) override
    {
        ++updated;
    }
    int shown = 0, updated = 0;
};

TEST(AlertStep, RequestWinsOverTheSwitchAndIsConsumed)
{
    struct Case {
        bool request;
        const char* ballons;
        int shown, updated;
    };
    const Case cases[] = {{true, "0", 0, 1},  {true, "1", 0, 1},  {false, "1", 1, 0},
                          {false, "2", 1, 0}, {false, "0", 0, 0}, {false, "", 0, 0}};
    for (const Case& c : cases) {
        RecordingAlerts alerts;
        bool request = c.request;
        ShowOrUpdateAlert(alerts, request, nullptr, c.ballons, {});
        EXPECT_FALSE(request);
        EXPECT_EQ(alerts.shown, c.shown) << c.ballons;
        EXPECT_EQ(alerts.updated, c.updated) << c.ballons;
    }
}

} // namespace
} // namespace tessaly
