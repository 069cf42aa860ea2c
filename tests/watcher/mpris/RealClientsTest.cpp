// Real programs on the private bus: playerctl as a client of the demo player, and mpv with
// mpv-mpris as a player the connection follows.

#include "demo-player/DemoLibrary.h"
#include "MprisFixture.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

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

QString MpvMprisPlugin()
{
    for (const char* path :
         {"/usr/lib/mpv-mpris/mpris.so", "/usr/lib/x86_64-linux-gnu/mpv-mpris/mpris.so",
          "/etc/mpv/scripts/mpris.so"})
        if (QFile::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    return {};
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

TEST_F(RealClients, MpvOnAnIcyStreamIsAnnouncedAsRadioFromTheStart)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    const QString plugin = MpvMprisPlugin();
    if (mpv.isEmpty() || plugin.isEmpty())
        GTEST_SKIP() << "mpv with mpv-mpris is not installed";
    QProcess radio;
    radio.start(QStringLiteral(RADIO_SERVER),
                {QStringLiteral("--interval"), QStringLiteral("4"), QStringLiteral("--titles"),
                 QStringLiteral("Artist A - First Song|Artist B - Second Song")});
    ASSERT_TRUE(radio.waitForStarted(5000));
    const auto stopRadio = qScopeGuard([&] {
        radio.kill();
        radio.waitForFinished(2000);
    });
    ASSERT_TRUE(WaitUntil([&] { return radio.canReadLine(); }, 10000));
    const QString port = QString::fromUtf8(radio.readLine()).trimmed().section(' ', 1);

    connectPlayer();
    QProcess mpvProcess;
    mpvProcess.start(mpv, {QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                           QStringLiteral("--ao=null"), QStringLiteral("--no-terminal"),
                           QStringLiteral("--script=") + plugin,
                           QStringLiteral("http://127.0.0.1:%1/live.mp3").arg(port)});
    ASSERT_TRUE(mpvProcess.waitForStarted(5000));
    const auto stopMpv = qScopeGuard([&] {
        mpvProcess.kill();
        mpvProcess.waitForFinished(2000);
    });
    // The station's second title comes 4 s in; by then both titles are announced.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !recorder->events.empty() &&
                   recorder->events.back().streamTitle == QStringLiteral("Artist B - Second Song");
        },
        15000));
    ASSERT_GE(recorder->events.size(), 3u);
    EXPECT_EQ(recorder->events[0].kind, Kind::Play);
    for (const RecordedEvent& e : recorder->events)
        EXPECT_EQ(e.kindText, QString::fromUtf16(kStreamKind)) << "announced as a file";
    QStringList titles;
    for (const RecordedEvent& e : recorder->events)
        if (e.kind == Kind::TrackChanged)
            titles << e.streamTitle;
    EXPECT_EQ(titles, QStringList({QStringLiteral("Artist A - First Song"),
                                   QStringLiteral("Artist B - Second Song")}));
}

} // namespace
} // namespace tessaly::test
