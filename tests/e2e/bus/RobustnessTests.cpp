// Tessaly against a hostile player and hostile files, as separate processes: each test asserts
// the outcome and that the user-interface thread kept answering throughout. The round trip is
// timed through the player: a signal, tessaly's debounce, and the read it makes on that thread.

#include "E2eSystem.h"
#include "support/ProcStatus.h"

#include <gtest/gtest.h>
#include <QDBusObjectPath>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <string>
#include <sys/stat.h>

namespace tessaly::test {
namespace {

constexpr int kRefreshMs = 6000;
// A round trip is the 250 ms debounce and a read; a loaded 2-core machine may take a few times
// that, a thread that waits on a FIFO or a modal flood takes forever.
constexpr int kAnswerMs = 2500;

QVariantMap StreamMetadata(const QString& title)
{
    return {{QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(QStringLiteral("/hostile/1")))},
            {QStringLiteral("xesam:url"), QStringLiteral("http://127.0.0.1:8000/live")},
            {QStringLiteral("xesam:album"), QStringLiteral("Probe FM")},
            {QStringLiteral("xesam:title"), title}};
}

QVariantMap LocalMetadata(const QString& title)
{
    return {{QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(QStringLiteral("/hostile/2")))},
            {QStringLiteral("xesam:url"), QStringLiteral("file:///music/local.ogg")},
            {QStringLiteral("xesam:artist"), QStringList{QStringLiteral("Local Artist")}},
            {QStringLiteral("xesam:album"), QStringLiteral("Local Album")},
            {QStringLiteral("xesam:title"), title},
            {QStringLiteral("mpris:length"), qlonglong(180000000)}};
}

class Robustness : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(system.busRunning()); }

    void startAll(const QStringList& tessalyEnvironment = {})
    {
        ASSERT_TRUE(system.startMessenger());
        ASSERT_TRUE(system.startHostile());
        ASSERT_TRUE(system.startTessaly(tessalyEnvironment));
    }

    bool play(const QVariantMap& metadata)
    {
        return system
                   .hostileCall(QStringLiteral("SetState"),
                                {QStringLiteral("Playing"), metadata, true})
                   .type() == QDBusMessage::ReplyMessage;
    }

    // Plays a local track and waits for its status; `before`, when given, gets the count of
    // statuses before it.
    void playAndWait(const QString& title, qsizetype* before = nullptr)
    {
        const qsizetype count = system.statuses().size();
        if (before)
            *before = count;
        ASSERT_TRUE(play(LocalMetadata(title)));
        ASSERT_TRUE(system.waitForStatusAfter(count, kRefreshMs));
    }

    // Probes the user-interface thread for a while; answers the slowest round trip (-1: none).
    int slowestAnswerOver(int ms)
    {
        QElapsedTimer t;
        t.start();
        int slowest = 0;
        do {
            const int rt = system.probeMs(kAnswerMs);
            if (rt < 0)
                return -1;
            slowest = std::max(slowest, rt);
        } while (t.elapsed() < ms);
        // The figure, for whoever reads the XML report; the assertion stays generous.
        slowestSeen_ = std::max(slowestSeen_, slowest);
        RecordProperty("slowest_round_trip_ms", slowestSeen_);
        return slowest;
    }

    // The window keeps answering through `ms` of probing, each round trip within kAnswerMs.
    void expectAnswering(int ms, const std::string& step = {})
    {
        const int slowest = slowestAnswerOver(ms);
        EXPECT_GE(slowest, 0) << step << "the window stopped answering";
        EXPECT_LT(slowest, kAnswerMs) << step;
    }

    void expectAlive() { EXPECT_TRUE(system.tessaly().isRunning()) << "tessaly ended"; }

    E2eSystem system;
    int slowestSeen_ = 0;
};

struct Blocker {
    const char* what;
    // Makes the thing at path; false when it cannot be made here.
    bool (*make)(const QString& path);
    bool absolute; // used as it is rather than made in the program folder
};

void PrintTo(const Blocker& b, std::ostream* os)
{
    *os << b.what;
}

class PlaylistThatIsNoFile : public Robustness, public ::testing::WithParamInterface<Blocker> {};

TEST_P(PlaylistThatIsNoFile, CostsAnErrorLineAndNoWait)
{
    const Blocker& b = GetParam();
    const QString path = b.absolute ? QString::fromLatin1(b.what)
                                    : system.programFolder() + QStringLiteral("/Playlist.fifo");
    QDir().mkpath(system.programFolder());
    if (!b.make(path))
        GTEST_SKIP() << "cannot make " << b.what;
    system.writeSettings(
        QStringLiteral("[Settings]\nRadioPlayList=1\nPlaylistFile=%1\n").arg(path));
    startAll();

    const qsizetype before = system.statuses().size();
    ASSERT_TRUE(play(StreamMetadata(QStringLiteral("First - Song"))));
    ASSERT_TRUE(system.waitForStatusAfter(before, kRefreshMs));
    expectAnswering(1500);
    // The next title is still published: nothing waits on the playlist.
    ASSERT_TRUE(play(StreamMetadata(QStringLiteral("Second - Song"))));
    ASSERT_TRUE(system.waitForStatusAfter(before + 1, kRefreshMs));
    expectAlive();

    // One line per title, each naming the file; the second may still be on its way.
    const QString logPath = system.programFolder() + QStringLiteral("/error.txt");
    const auto lines = [&] {
        QFile log(logPath);
        return log.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                   : QStringList();
    };
    WaitUntil([&] { return lines().size() >= 2; }, 3000);
    EXPECT_EQ(lines().size(), 2) << qPrintable(lines().join('|'));
    for (const QString& line : lines())
        EXPECT_TRUE(line.contains(path)) << qPrintable(line);
}

INSTANTIATE_TEST_SUITE_P(
    Blockers, PlaylistThatIsNoFile,
    ::testing::Values(Blocker{"fifo",
                              [](const QString& p) {
                                  return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0;
                              },
                              false},
                      Blocker{"/dev/full", [](const QString& p) { return QFileInfo::exists(p); },
                              true}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.what).remove('/').toStdString();
    });

// An X server of its own, so that the message boxes tessaly opens can be counted.
class XServer {
public:
    XServer() : process_(QStringLiteral("Xvfb"))
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return;
        if (!process_.start(QStringLiteral("Xvfb"),
                            {QStringLiteral("-displayfd"), QStringLiteral("1"),
                             QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                             QStringLiteral("tcp")}))
            return;
        process_.waitForOutputLine(
            [this](const QString& l) {
                bool ok = false;
                l.trimmed().toInt(&ok);
                if (ok)
                    display_ = QStringLiteral(":") + l.trimmed();
                return ok;
            },
            10000);
    }
    const QString& display() const { return display_; }

    // Visible top-level windows with exactly this title.
    int countWindows(const QString& title) const
    {
        QProcess search;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        search.setProcessEnvironment(env);
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--name"), QStringLiteral("^%1$").arg(title)});
        search.waitForFinished(10000);
        return int(QString::fromLatin1(search.readAllStandardOutput())
                       .split('\n', Qt::SkipEmptyParts)
                       .size());
    }

private:
    ChildProcess process_;
    QString display_;
};

TEST_F(Robustness, FlappingPlayerNameAsksOneQuestionAndStatusesGoOn)
{
    XServer x;
    if (x.display().isEmpty())
        GTEST_SKIP() << "no Xvfb or xdotool";
    // No popups: the only windows that can come are the window and the question.
    system.writeSettings(QStringLiteral("[Settings]\nBallons=0\n"));
    startAll({QStringLiteral("DISPLAY=") + x.display(), QStringLiteral("QT_QPA_PLATFORM=xcb")});
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Before The Flaps")));
    WaitUntil([] { return false; }, 500);
    const int windowsBefore = x.countWindows(QStringLiteral("Tessaly"));

    // Hundreds of quits and comebacks within a second.
    ASSERT_EQ(system.hostileCall(QStringLiteral("Flap"), {300u, 1000u}).type(),
              QDBusMessage::ReplyMessage);
    WaitUntil([] { return false; }, 2500);
    expectAlive();
    EXPECT_TRUE(WaitUntil(
        [&] { return x.countWindows(QStringLiteral("Tessaly")) == windowsBefore + 1; }, 3000))
        << "one question, not " << x.countWindows(QStringLiteral("Tessaly")) - windowsBefore;
    WaitUntil([] { return false; }, 1000);
    EXPECT_EQ(x.countWindows(QStringLiteral("Tessaly")), windowsBefore + 1);

    // The player is back: its changes are published while the question is still open.
    expectAnswering(1000);
    ASSERT_TRUE(play(LocalMetadata(QStringLiteral("After The Flaps"))));
    EXPECT_TRUE(
        WaitUntil([&] { return system.lastStatus().contains(QStringLiteral("After The Flaps")); },
                  kRefreshMs))
        << qPrintable(system.lastStatus());
    EXPECT_EQ(x.countWindows(QStringLiteral("Tessaly")), windowsBefore + 1);
    expectAlive();
}

TEST_F(Robustness, HugeTitleIsCutAndTheWindowAnswersThroughout)
{
    startAll();
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Normal Song")));
    const long rssBefore = ResidentKiB(system.tessaly().pid());

    const qsizetype before = system.statuses().size();
    ASSERT_EQ(
        system.hostileCall(QStringLiteral("Inflate"), {QStringLiteral("xesam:title"), 16u << 20})
            .type(),
        QDBusMessage::ReplyMessage);
    expectAnswering(4000);
    ASSERT_TRUE(system.waitForStatusAfter(before, kRefreshMs));
    const QString status = system.lastStatus();
    EXPECT_TRUE(status.contains(QStringLiteral("xxxx")));
    EXPECT_LT(status.size(), 3 * 4096) << "the title was published whole";
    const long rssAfter = ResidentKiB(system.tessaly().pid());
    EXPECT_LT(rssAfter - rssBefore, 64 * 1024) << rssBefore << " KiB -> " << rssAfter << " KiB";
    expectAlive();
}

// The title is expanded into the album's own tokens; a station name of thousands of "%T" must not
// make the status thousands of titles long.
TEST_F(Robustness, TokensInTheAlbumCannotMultiplyThePublishedStatus)
{
    startAll();
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Normal Song")));

    QVariantMap metadata = LocalMetadata(QString(4096, u'x'));
    metadata[QStringLiteral("xesam:album")] = QStringLiteral("%T").repeated(2048);
    const qsizetype before = system.statuses().size();
    ASSERT_TRUE(play(metadata));
    expectAnswering(4000);
    ASSERT_TRUE(system.waitForStatusAfter(before, kRefreshMs));
    const QString status = system.lastStatus();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Xxxx"))) << qPrintable(status.left(40));
    EXPECT_LE(status.size(), 16 * 1024);
    expectAlive();
}

TEST_F(Robustness, PlayerChangingEvery200MsIsPublishedWhileItChanges)
{
    startAll();
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Change 0")));
    const qsizetype start = system.statuses().size();
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(system.hostileCall(QStringLiteral("Changes"), {200u, 30u}).type(),
              QDBusMessage::ReplyMessage);
    WaitUntil([&] { return system.statuses().size() >= start + 3; }, 5000);
    const qsizetype during = system.statuses().size() - start;
    EXPECT_GE(during, 2) << "only " << during << " statuses in " << t.elapsed() << " ms of changes";
    EXPECT_TRUE(WaitUntil([&] { return system.lastStatus().contains(QStringLiteral("Change 30")); },
                          int(std::max<qint64>(0, 6000 - t.elapsed())) + kRefreshMs))
        << "the newest state comes last: " << qPrintable(system.lastStatus());
    expectAlive();
}

TEST_F(Robustness, IdlePlayerThatSaysPlayingPublishesNothing)
{
    startAll();
    qsizetype before = 0;
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Real Song"), &before));
    const QString published = system.lastStatus();
    // mpv with nothing to play.
    ASSERT_TRUE(play({{QStringLiteral("mpris:trackid"),
                       QVariant::fromValue(QDBusObjectPath(QStringLiteral("/noplaylist")))}}));
    EXPECT_FALSE(system.waitForStatusAfter(before + 1, 2000))
        << "published '" << qPrintable(system.lastStatus()) << "'";
    EXPECT_EQ(system.lastStatus(), published);
    expectAlive();
}

TEST_F(Robustness, SignalsThatOnlyGrowTheLengthCostNoRead)
{
    startAll();
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Growing")));
    WaitUntil([] { return false; }, 500); // the reads of the change are over
    const auto reads = [&] {
        return system.hostileCall(QStringLiteral("Reads")).arguments().value(0).toUInt();
    };
    const uint before = reads();
    // mpv on a live stream: the whole Metadata again every second, only its length grown.
    QVariantMap metadata = LocalMetadata(QStringLiteral("Growing"));
    for (qlonglong length = 1; length <= 5; ++length) {
        metadata.insert(QStringLiteral("mpris:length"), length * 181000000);
        ASSERT_TRUE(play(metadata));
        WaitUntil([] { return false; }, 300);
    }
    WaitUntil([] { return false; }, 1000);
    EXPECT_EQ(reads(), before) << "each repeated signal cost a read";
    // A signal that tells something new still does.
    const qsizetype count = system.statuses().size();
    ASSERT_TRUE(play(LocalMetadata(QStringLiteral("Next Song"))));
    EXPECT_TRUE(system.waitForStatusAfter(count, kRefreshMs));
    EXPECT_TRUE(system.lastStatus().contains(QStringLiteral("Next Song")));
    EXPECT_GT(reads(), before);
    expectAlive();
}

TEST_F(Robustness, HungMessengerNeverStopsTheWindowAndTheNewestStatusGoesOut)
{
    ASSERT_TRUE(system.startMessenger({QStringLiteral("--hang")}));
    ASSERT_TRUE(system.startHostile());
    ASSERT_TRUE(system.startTessaly());
    // Refreshes faster than the hung Messenger answers (two sends that give up after 2 s each).
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(play(LocalMetadata(QStringLiteral("Hung %1").arg(i))));
        expectAnswering(1200, "step " + std::to_string(i) + ": ");
    }
    EXPECT_TRUE(WaitUntil(
        [&] { return system.registryStatus().contains(QStringLiteral("Hung 3")); }, 3 * kRefreshMs))
        << "registry holds '" << qPrintable(system.registryStatus()) << "'";
    expectAlive();
}

TEST_F(Robustness, LockedRegistryNeverStopsTheWindowAndPublishingGoesOnAfter)
{
    startAll();
    ASSERT_NO_FATAL_FAILURE(playAndWait(QStringLiteral("Before The Lock")));

    // Another process holds the write lock for longer than the busy timeout, twice over.
    ASSERT_TRUE(system.lockRegistry());
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(play(LocalMetadata(QStringLiteral("Locked %1").arg(i))));
        expectAnswering(1200, "step " + std::to_string(i) + ": ");
    }
    ASSERT_TRUE(system.waitForRegistryUnlocked(10000));
    // Publishing goes on once the hive is free.
    ASSERT_TRUE(play(LocalMetadata(QStringLiteral("After The Lock"))));
    EXPECT_TRUE(WaitUntil(
        [&] { return system.registryStatus().contains(QStringLiteral("After The Lock")); },
        2 * kRefreshMs))
        << "registry holds '" << qPrintable(system.registryStatus()) << "'";
    expectAlive();
}

} // namespace
} // namespace tessaly::test
