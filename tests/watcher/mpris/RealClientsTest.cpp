// Real programs on the private bus: playerctl as a client of the demo player, and mpv with
// mpv-mpris, VLC and Audacious as players the connection follows.

#include "demo-player/DemoLibrary.h"
#include "MprisFixture.h"
#include "support/MpvPlugin.h"

#include <pwd.h>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <unistd.h>

namespace tessaly::test {
namespace {

using Kind = RecordedEvent::Kind;

// Runs a program to its end; its standard output, trimmed.
QString RunProgram(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    // The event loop runs meanwhile, so the connection under test keeps up.
    WaitUntil([&] { return p.state() == QProcess::NotRunning; }, 10000);
    if (p.state() != QProcess::NotRunning)
        p.kill();
    p.waitForFinished(1000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

using RealClients = MprisFixture;

TEST_F(RealClients, PlayerctlDrivesTheDemoPlayer)
{
    const QString playerctl = QStandardPaths::findExecutable(QStringLiteral("playerctl"));
    if (playerctl.isEmpty())
        GTEST_SKIP() << "playerctl is not installed";
    startDemo();
    connectPlayer();
    const auto ctl = [&](QStringList args) {
        args.prepend(QStringLiteral("--player=tessaly_demo"));
        return RunProgram(playerctl, args);
    };
    EXPECT_EQ(ctl({QStringLiteral("status")}), QStringLiteral("Playing"));
    EXPECT_EQ(ctl({QStringLiteral("metadata"), QStringLiteral("title")}), demo::Library()[0].title);
    EXPECT_EQ(ctl({QStringLiteral("metadata"), QStringLiteral("artist")}),
              demo::Library()[0].artist);
    ctl({QStringLiteral("next")});
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(ctl({QStringLiteral("metadata"), QStringLiteral("title")}), demo::Library()[1].title);
    ctl({QStringLiteral("previous")});
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(ctl({QStringLiteral("metadata"), QStringLiteral("title")}), demo::Library()[0].title);
    ctl({QStringLiteral("play-pause")});
    EXPECT_EQ(ctl({QStringLiteral("status")}), QStringLiteral("Paused"));
    Settle(600); // a pause and resume inside the debounce time would be no change at all
    ctl({QStringLiteral("play-pause")});
    EXPECT_EQ(ctl({QStringLiteral("status")}), QStringLiteral("Playing"));
    ASSERT_TRUE(waitForEvents(3));
    Settle(500);
    ASSERT_EQ(recorder->events.size(), 3u) << "next, previous, resume";
    EXPECT_EQ(recorder->events[0].name, demo::Library()[1].title);
    EXPECT_EQ(recorder->events[1].name, demo::Library()[0].title);
    EXPECT_EQ(recorder->events[2].name, demo::Library()[0].title);
}

TEST_F(RealClients, MpvWithMprisIsFollowedTrackByTrack)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    const QString plugin = MpvMprisPlugin();
    if (mpv.isEmpty() || plugin.isEmpty())
        GTEST_SKIP() << "mpv with mpv-mpris is not installed";
    if (sox.isEmpty())
        GTEST_SKIP() << "sox is not installed (it makes the test's audio files)";

    QTemporaryDir dir;
    struct Tone {
        QString file, title;
        int seconds;
    };
    const std::vector<Tone> tones = {
        {dir.filePath(QStringLiteral("a.ogg")), QStringLiteral("Alpha Tone & Friends"), 3},
        {dir.filePath(QStringLiteral("b.ogg")), QStringLiteral("Beta Tone – Ünïcode"), 30}};
    for (const Tone& t : tones) {
        int code = -1;
        RunProgram(sox,
                   {QStringLiteral("-n"), QStringLiteral("--comment"),
                    QStringLiteral("TITLE=") + t.title, QStringLiteral("--add-comment"),
                    QStringLiteral("ARTIST=Tessaly Tester"), QStringLiteral("--add-comment"),
                    QStringLiteral("ALBUM=Generated Tones"), t.file, QStringLiteral("synth"),
                    QString::number(t.seconds), QStringLiteral("sine"), QStringLiteral("440"),
                    QStringLiteral("vol"), QStringLiteral("0.5")},
                   &code);
        ASSERT_EQ(code, 0) << "sox could not make " << qPrintable(t.file);
    }

    connectPlayer();
    QProcess mpvProcess;
    mpvProcess.start(mpv, {QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                           QStringLiteral("--ao=null"), QStringLiteral("--idle=yes"),
                           QStringLiteral("--no-terminal"), QStringLiteral("--script=") + plugin,
                           tones[0].file, tones[1].file});
    ASSERT_TRUE(mpvProcess.waitForStarted(5000));
    const auto stopMpv = qScopeGuard([&] {
        mpvProcess.kill();
        mpvProcess.waitForFinished(2000);
    });

    // The first file plays through and mpv moves on by itself.
    ASSERT_TRUE(waitForEvents(2, 10000));
    EXPECT_EQ(player->activeName(), QStringLiteral("org.mpris.MediaPlayer2.mpv"));
    // Then back, through the connection.
    ASSERT_EQ(player->PreviousTrack(), PlayerResult::Ok);
    ASSERT_NO_FATAL_FAILURE(expectEventsThenQuiet(3, 800, 5000));
    const QString expected[] = {tones[0].title, tones[1].title, tones[0].title};
    for (std::size_t i = 0; i < 3; ++i) {
        const RecordedEvent& e = recorder->events[i];
        EXPECT_EQ(e.kind, Kind::Play) << i;
        EXPECT_EQ(e.kindText, QString::fromUtf16(kFileKind)) << i;
        EXPECT_EQ(e.name, expected[i]) << i;
        EXPECT_EQ(e.artist, QStringLiteral("Tessaly Tester")) << i;
        EXPECT_EQ(e.album, QStringLiteral("Generated Tones")) << i;
    }
    mpvProcess.kill();
    ASSERT_TRUE(waitForEvents(4, 3000));
    EXPECT_EQ(recorder->events[3].kind, Kind::Quitting);
}

TEST_F(RealClients, IdleMpvIsNoTrack)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    const QString plugin = MpvMprisPlugin();
    if (mpv.isEmpty() || plugin.isEmpty())
        GTEST_SKIP() << "mpv with mpv-mpris is not installed";
    connectPlayer();
    QProcess mpvProcess;
    // Nothing to play: mpv says Playing with a track id alone.
    mpvProcess.start(mpv, {QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                           QStringLiteral("--ao=null"), QStringLiteral("--idle=yes"),
                           QStringLiteral("--no-terminal"), QStringLiteral("--script=") + plugin});
    ASSERT_TRUE(mpvProcess.waitForStarted(5000));
    const auto stopMpv = qScopeGuard([&] {
        mpvProcess.kill();
        mpvProcess.waitForFinished(2000);
    });
    ASSERT_TRUE(WaitUntil(
        [&] { return player->activeName() == QStringLiteral("org.mpris.MediaPlayer2.mpv"); },
        10000));
    Settle(1500);
    EXPECT_TRUE(recorder->events.empty()) << "an idle mpv announced a track";
    EXPECT_FALSE(player->CurrentTrack());
}

const QString kFirstTitle = QStringLiteral("Artist A - First Song");
const QString kSecondTitle = QStringLiteral("Artist B - Second Song");
const QString kStation = QStringLiteral("Probe Radió & Friends");

// tools/radio-server on 127.0.0.1: kFirstTitle, then kSecondTitle 4 s in, and so on; with
// `repeats`, kSecondTitle stays that many times as long.
class Radio {
public:
    explicit Radio(int repeats = 1)
    {
        QStringList titles = {kFirstTitle};
        for (int i = 0; i < repeats; ++i)
            titles << kSecondTitle;
        process_.start(QStringLiteral(RADIO_SERVER),
                       {QStringLiteral("--interval"), QStringLiteral("4"),
                        QStringLiteral("--titles"), titles.join(u'|')});
        if (process_.waitForStarted(5000) &&
            WaitUntil([&] { return process_.canReadLine(); }, 10000))
            port_ = QString::fromUtf8(process_.readLine()).trimmed().section(' ', 1);
    }
    ~Radio()
    {
        process_.kill();
        process_.waitForFinished(2000);
    }
    bool isRunning() const { return !port_.isEmpty(); }
    QString icyUrl() const { return QStringLiteral("http://127.0.0.1:%1/live.mp3").arg(port_); }

private:
    QProcess process_;
    QString port_;
};

// A real player as a child process, killed at the end.
class PlayerProcess {
public:
    PlayerProcess(const QString& program, const QStringList& args,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program, args);
    }
    ~PlayerProcess()
    {
        process_.kill();
        process_.waitForFinished(2000);
    }
    bool started() { return process_.waitForStarted(5000); }
    QString output() { return QString::fromLocal8Bit(process_.readAll()); }

private:
    QProcess process_;
};

// Waits until the stream's second title is announced; the stream titles announced, in order.
QStringList StreamTitlesUntilTheSecond(const std::vector<RecordedEvent>& events, int timeoutMs)
{
    WaitUntil([&] { return !events.empty() && events.back().streamTitle == kSecondTitle; },
              timeoutMs);
    QStringList titles;
    for (const RecordedEvent& e : events) {
        EXPECT_EQ(e.kindText, QString::fromUtf16(kStreamKind)) << "announced as a file";
        if (e.kind == RecordedEvent::TrackChanged)
            titles << e.streamTitle;
    }
    return titles;
}

TEST_F(RealClients, MpvOnAnIcyStreamIsAnnouncedAsRadioFromTheStart)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    const QString plugin = MpvMprisPlugin();
    if (mpv.isEmpty() || plugin.isEmpty())
        GTEST_SKIP() << "mpv with mpv-mpris is not installed";
    Radio radio;
    ASSERT_TRUE(radio.isRunning());
    connectPlayer();
    PlayerProcess mpvProcess(mpv, {QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                                   QStringLiteral("--ao=null"), QStringLiteral("--no-terminal"),
                                   QStringLiteral("--script=") + plugin, radio.icyUrl()});
    ASSERT_TRUE(mpvProcess.started());
    // The station's second title comes 4 s in; by then both titles are announced.
    EXPECT_EQ(StreamTitlesUntilTheSecond(recorder->events, 15000),
              QStringList({kFirstTitle, kSecondTitle}));
    ASSERT_FALSE(recorder->events.empty());
    EXPECT_EQ(recorder->events[0].kind, Kind::Play);
    // mpv signalled the change: its stream is no longer read on a timer.
    EXPECT_FALSE(player->isPollingStream());
}

TEST_F(RealClients, AudaciousSignalsItsStreamTitlesAndIsNotPolledAfterTheFirstChange)
{
    const QString audacious = QStandardPaths::findExecutable(QStringLiteral("audacious"));
    if (audacious.isEmpty())
        GTEST_SKIP() << "audacious is not installed";
    Radio radio;
    ASSERT_TRUE(radio.isRunning());
    // No sound card here: ALSA's default device discards the samples.
    QTemporaryDir home;
    QFile asoundrc(home.filePath(QStringLiteral(".asoundrc")));
    ASSERT_TRUE(asoundrc.open(QIODevice::WriteOnly));
    asoundrc.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n");
    asoundrc.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));

    connectPlayer();
    PlayerProcess audaciousProcess(audacious, {QStringLiteral("--headless"), radio.icyUrl()}, env);
    ASSERT_TRUE(audaciousProcess.started());
    EXPECT_EQ(StreamTitlesUntilTheSecond(recorder->events, 15000),
              QStringList({kFirstTitle, kSecondTitle}))
        << qPrintable(audaciousProcess.output());
    ASSERT_FALSE(recorder->events.empty());
    EXPECT_EQ(recorder->events.back().name, kStation);
    EXPECT_EQ(player->activeName(), QStringLiteral("org.mpris.MediaPlayer2.audacious"));
    // Its title changes came with signals: the stream is no longer read on a timer.
    EXPECT_FALSE(player->isPollingStream());
}

// VLC refuses to run as root: as root, the test runs it as this user (made once, like a service's).
constexpr char kPlayerUser[] = "tessaly-player";

// What to put before a command to run it without root; empty when not root. Fails the test
// when the user cannot be had.
QStringList WithoutRoot(uid_t* uid, gid_t* gid)
{
    *uid = geteuid();
    *gid = getegid();
    if (*uid != 0)
        return {};
    if (!getpwnam(kPlayerUser))
        RunProgram(QStringLiteral("useradd"),
                   {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                    QStringLiteral("--home-dir"), QStringLiteral("/nonexistent"),
                    QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                    QString::fromLatin1(kPlayerUser)});
    const passwd* user = getpwnam(kPlayerUser);
    if (!user) {
        ADD_FAILURE() << "cannot create the user " << kPlayerUser << " to run VLC as";
        return {};
    }
    *uid = user->pw_uid;
    *gid = user->pw_gid;
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(*uid),
            QStringLiteral("--regid=%1").arg(*gid), QStringLiteral("--clear-groups"),
            QStringLiteral("--")};
}

class RealPlayersAsAnotherUser : public MprisFixture {
protected:
    PrivateBus::Admits busAdmits() const override { return PrivateBus::Admits::EveryUser; }
};

TEST_F(RealPlayersAsAnotherUser, VlcChangesStreamTitlesSilentlyAndIsPolledForThem)
{
    const QString cvlc = QStandardPaths::findExecutable(QStringLiteral("cvlc"));
    if (cvlc.isEmpty())
        GTEST_SKIP() << "vlc is not installed";
    uid_t uid = 0;
    gid_t gid = 0;
    QStringList command = WithoutRoot(&uid, &gid);
    ASSERT_FALSE(uid == 0) << "no user to run VLC as";
    // The second title stays until the slow poll of a player not yet known has seen it.
    Radio radio(10);
    ASSERT_TRUE(radio.isRunning());
    QTemporaryDir home; // VLC writes its settings and cache there
    ASSERT_EQ(chown(QFile::encodeName(home.path()).constData(), uid, gid), 0);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());

    connectPlayer();
    command << cvlc << QStringLiteral("--control=dbus") << QStringLiteral("--aout=adummy")
            << QStringLiteral("--no-video") << radio.icyUrl();
    PlayerProcess vlc(command.takeFirst(), command, env);
    ASSERT_TRUE(vlc.started());
    // VLC signals only while it opens the stream; the second title is found by reading it.
    EXPECT_EQ(StreamTitlesUntilTheSecond(recorder->events, 8000 + mpris::kStreamProbeMs),
              QStringList({kFirstTitle, kSecondTitle}))
        << qPrintable(vlc.output());
    EXPECT_TRUE(player->activeName().startsWith(QStringLiteral("org.mpris.MediaPlayer2.vlc")));
    EXPECT_TRUE(player->isPollingStream());
}

} // namespace
} // namespace tessaly::test
