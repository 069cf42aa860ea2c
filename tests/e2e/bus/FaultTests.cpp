// Tessaly under faults and load, as separate processes: each test asserts that it keeps running
// and loses nothing that it could have kept.

#include "common/qt/QtText.h"
#include "E2eSystem.h"
#include "support/ProcStatus.h"
#include "watcher/FormatStatus.h"

#include <gtest/gtest.h>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessaly::test {
namespace {

constexpr int kRefreshMs = 6000; // debounce, a re-read and two sends, with room for a slow machine

class Faults : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(system.busRunning()); }

    void startAll(const QStringList& messengerArguments = {})
    {
        ASSERT_TRUE(system.startMessenger(messengerArguments));
        ASSERT_TRUE(system.startPlayer());
        ASSERT_TRUE(system.startTessaly());
    }

    // The status the player's current track must give with the default format.
    QString expectedStatus()
    {
        const QVariantMap m = system.playerMetadata();
        return ToQString(
            FormatStatus(u"%L: %A - %T",
                         ToU16(m.value(QStringLiteral("xesam:artist")).toStringList().join(", ")),
                         ToU16(m.value(QStringLiteral("xesam:album")).toString()),
                         ToU16(m.value(QStringLiteral("xesam:title")).toString())));
    }

    // Runs a player command and waits for the status that follows it.
    bool commandAndWait(const QString& method)
    {
        const qsizetype before = system.statuses().size();
        return system.playerCall(method) && system.waitForStatusAfter(before, kRefreshMs);
    }

    void expectAlive() { EXPECT_TRUE(system.tessaly().isRunning()) << "tessaly ended"; }

    E2eSystem system;
};

TEST_F(Faults, PlayerKilledMidRefreshLeavesTessalyRunningWithTheLastStatus)
{
    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));
    const QString published = system.lastStatus();
    system.playerCall(QStringLiteral("Next"));
    system.player().kill(); // inside the debounce: the re-read finds nobody
    // The vanished player counts as quitting: Tessaly asks whether to shut down and waits.
    WaitUntil([] { return false; }, 2000);
    expectAlive();
    EXPECT_EQ(system.registryStatus(), published);
    EXPECT_EQ(system.lastStatus(), published);
}

TEST_F(Faults, LostSessionBusIsWarnedAboutOnceAndCostsNoProcessorTime)
{
    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));
    const auto lostLines = [&] {
        return system.tessaly().errorLines().filter(QStringLiteral("lost the session bus"));
    };
    ASSERT_TRUE(lostLines().isEmpty());
    system.killBus();
    EXPECT_TRUE(system.tessaly().waitForErrorLine(
        [](const QString& line) { return line.contains(QStringLiteral("lost the session bus")); },
        5000))
        << qPrintable(system.tessaly().errorLines().join('\n'));
    // A process that retries a dead socket in a loop burns a core; a quiet one uses next to none.
    const qint64 cpuBefore = CpuMs(system.tessaly().pid());
    WaitUntil([] { return false; }, 3000);
    const qint64 cpuUsed = CpuMs(system.tessaly().pid()) - cpuBefore;
    EXPECT_LT(cpuUsed, 600) << "ms of processor time in 3 s without a bus";
    expectAlive();
    EXPECT_EQ(lostLines().size(), 1) << qPrintable(lostLines().join('\n'));
}

TEST_F(Faults, HungMessengerCostsTimeButTheRegistryHoldsEveryNewStatus)
{
    startAll({QStringLiteral("--hang")});
    system.playerCall(QStringLiteral("Play"));
    for (int i = 0; i < 3; ++i) {
        const QString want = expectedStatus();
        // Each refresh gives up on the hung window within its limits, and the value is written.
        EXPECT_TRUE(WaitUntil([&] { return system.registryStatus() == want; }, kRefreshMs))
            << "step " << i << ": registry holds '" << qPrintable(system.registryStatus())
            << "', want '" << qPrintable(want) << "'";
        system.playerCall(QStringLiteral("Next"));
    }
    expectAlive();
}

TEST_F(Faults, LockedRegistryLosesOnlyTheWritesWhileLocked)
{
    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));

    // Another process holds the write lock for longer than the busy timeout.
    ASSERT_TRUE(system.lockRegistry());
    system.playerCall(QStringLiteral("Next"));
    WaitUntil([] { return false; }, 4000);
    expectAlive();
    ASSERT_TRUE(system.waitForRegistryUnlocked(10000));

    ASSERT_TRUE(commandAndWait(QStringLiteral("Next")));
    const QString want = expectedStatus();
    EXPECT_TRUE(WaitUntil([&] { return system.registryStatus() == want; }, kRefreshMs));
    EXPECT_EQ(system.lastStatus(), want);
}

TEST_F(Faults, CorruptRegistryIsMovedAsideAndPublishingGoesOn)
{
    QDir().mkpath(QFileInfo(system.registryPath()).path());
    QFile garbage(system.registryPath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, '\x5a'));
    garbage.close();

    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));
    EXPECT_EQ(system.lastStatus(), expectedStatus());
    const QStringList aside = QDir(QFileInfo(system.registryPath()).path())
                                  .entryList({QStringLiteral("*.corrupt-*")}, QDir::Files);
    EXPECT_EQ(aside.size(), 1) << qPrintable(aside.join(' '));

    // The same while Tessaly runs: the next write finds garbage and starts over.
    QFile again(system.registryPath());
    ASSERT_TRUE(again.open(QIODevice::WriteOnly | QIODevice::Truncate));
    again.write(QByteArray(8192, '\x33'));
    again.close();
    system.playerCall(QStringLiteral("Next"));
    WaitUntil([] { return false; }, 3000);
    expectAlive();
}

TEST_F(Faults, PlaylistThatCannotBeWrittenCostsOneErrorLineEach)
{
    system.writeSettings(QStringLiteral("[Settings]\nRadioPlayList=1\nPlaylistFile=Busy\n"));
    QDir().mkpath(system.programFolder() + QStringLiteral("/Busy")); // a folder, not a file
    startAll();
    const qsizetype before = system.statuses().size();
    ASSERT_TRUE(system.controlCall(QStringLiteral("SwitchToRadio")));
    ASSERT_TRUE(system.waitForStatusAfter(before, kRefreshMs));
    ASSERT_TRUE(system.controlCall(QStringLiteral("SetStreamTitle"),
                                   {QStringLiteral("Second - Title"), true}));
    ASSERT_TRUE(system.waitForStatusAfter(before + 1, kRefreshMs));
    WaitUntil([] { return false; }, 500);
    expectAlive();

    QFile log(system.programFolder() + QStringLiteral("/error.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(lines.join('|'));
    const QString prefix = QStringLiteral("An Error Ocured while opening the playlist file '") +
                           system.programFolder() + QStringLiteral("/Busy'; ");
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith(prefix)) << qPrintable(line);
}

TEST_F(Faults, ProgramFolderThatIsAFileChangesNothingElse)
{
    system.writeSettings(QStringLiteral("[Settings]\nRadioPlayList=1\n"));
    QDir().mkpath(QFileInfo(system.programFolder()).path());
    QFile blocker(system.programFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    startAll();
    const qsizetype before = system.statuses().size();
    ASSERT_TRUE(system.controlCall(QStringLiteral("SwitchToRadio")));
    ASSERT_TRUE(system.waitForStatusAfter(before, kRefreshMs));
    WaitUntil([] { return false; }, 500);
    expectAlive();
    EXPECT_TRUE(QFileInfo(system.programFolder()).isFile());
    EXPECT_EQ(QFileInfo(system.programFolder()).size(), 0);
}

TEST_F(Faults, GarbageInEverySettingStartsWithUsableValues)
{
    system.writeSettings(QStringLiteral("[Settings]\nMinimized=yes\nBallons=-99999999\n"
                                        "Opacity=abc\nMainOpacity=1e9\nRadioPlayList=2.5\n"
                                        "PlaylistFile=\nFormat=%T\n"));
    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));
    expectAlive();
    EXPECT_EQ(system.lastStatus(),
              ToQString(FormatStatus(
                  u"%T", {}, {},
                  ToU16(system.playerMetadata().value(QStringLiteral("xesam:title")).toString()))));
}

TEST_F(Faults, BurstOfAThousandChangesEndsOnTheLastTrackWithFewRefreshes)
{
    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));
    const long rssBefore = ResidentKiB(system.tessaly().pid());
    const qsizetype before = system.statuses().size();

    ASSERT_TRUE(system.controlCall(QStringLiteral("Burst"), {1000u, 1000u}));
    WaitUntil([] { return false; }, 1000 + kRefreshMs);
    expectAlive();
    const qsizetype refreshes = system.statuses().size() - before;
    EXPECT_GE(refreshes, 1);
    EXPECT_LE(refreshes, 6) << "the debounce lets changes through one by one";
    EXPECT_EQ(system.lastStatus(), expectedStatus());
    const long rssAfter = ResidentKiB(system.tessaly().pid());
    EXPECT_LT(rssAfter - rssBefore, 30 * 1024) << rssBefore << " KiB -> " << rssAfter << " KiB";
}

TEST_F(Faults, MetadataOfWrongTypesAndHugeSizesIsSurvived)
{
    startAll();
    ASSERT_TRUE(commandAndWait(QStringLiteral("Play")));

    QVariantMap odd;
    odd.insert(QStringLiteral("mpris:trackid"), QStringLiteral("not-an-object-path"));
    odd.insert(QStringLiteral("xesam:artist"), QStringLiteral("Plain String Artist"));
    odd.insert(QStringLiteral("xesam:title"), 42);
    odd.insert(QStringLiteral("xesam:album"), QString(1 << 20, QLatin1Char('a')));
    odd.insert(QStringLiteral("xesam:url"), QByteArray("file:///m/\xff\xfe.mp3"));
    ASSERT_TRUE(system.controlCall(QStringLiteral("SetMetadata"), {odd}));
    WaitUntil([] { return false; }, 2000);
    expectAlive();

    // Then a normal track is published as ever.
    ASSERT_TRUE(commandAndWait(QStringLiteral("Next")));
    EXPECT_EQ(system.lastStatus(), expectedStatus());
}

TEST_F(Faults, KilledRightAfterAPlaylistAppendKeepsTheLine)
{
    system.writeSettings(QStringLiteral("[Settings]\nRadioPlayList=1\n"));
    startAll();
    const qsizetype before = system.statuses().size();
    ASSERT_TRUE(system.controlCall(QStringLiteral("SwitchToRadio")));
    ASSERT_TRUE(system.waitForStatusAfter(before, kRefreshMs));
    // The status goes out before the playlist step; give that step a moment, no more.
    const QString playlist = system.programFolder() + QStringLiteral("/Playlist.txt");
    WaitUntil([&] { return QFileInfo(playlist).size() > 0; }, 2000);
    system.tessaly().kill();

    QFile file(playlist);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.endsWith('\n')) << "a half-written line";
    EXPECT_EQ(content.count('\n'), 1);
}

} // namespace
} // namespace tessaly::test
