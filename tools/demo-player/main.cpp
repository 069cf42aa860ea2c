// tessaly-demo-player: an MPRIS 2 player with a built-in library and a radio station, no audio.

#include "DemoAdaptors.h"
#include "DemoPlayer.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

namespace {

const char kDescription[] = R"(An MPRIS 2 player without audio, for trying and testing Tessaly.

It owns org.mpris.MediaPlayer2.tessaly_demo (with --name S: org.mpris.MediaPlayer2.tessaly_demo.S)
on the session bus and plays a built-in library of two albums, or the station "Radio Tessaly FM".
Play, Pause, PlayPause, Stop, Next, Previous and Quit work as MPRIS describes them.

The station is ICY style, as mpv shows a shoutcast stream: xesam:url is
http://radio.tessaly.example:8000/live.mp3, xesam:album is the station name, xesam:title is the
stream title ("Artist - Title"), and there is no mpris:length. The title changes every --interval
milliseconds (every 15 s without it).

Control interface org.tessaly.DemoPlayer at /org/tessaly/DemoPlayer, owned by the name
org.tessaly.DemoPlayer (with --name S: org.tessaly.DemoPlayer.S):
  SetMetadata(a{sv})            replace Metadata as given: any types, any sizes; bytes (ay) carry
                                text that is not valid UTF-8
  SetPlaybackStatus(s)          set PlaybackStatus to any text
  Burst(u count, u withinMs)    count Next steps spread over withinMs, each signalled
  SwitchToRadio()               load the station and play it
  SetStreamTitle(s title, b signal)  set the stream title, with or without PropertiesChanged
  NextWithBlip(u gapMs)         go Stopped, then after gapMs load the next track and play
  EmitDuplicate()               signal Metadata and PlaybackStatus again, unchanged
  AddAlias(s suffix) -> b       also own org.mpris.MediaPlayer2.<suffix> (same process))";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaly-demo-player"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    const QCommandLineOption radio(QStringLiteral("radio"),
                                   QStringLiteral("Start on the station."));
    const QCommandLineOption stopped(QStringLiteral("stopped"),
                                     QStringLiteral("Start stopped instead of playing."));
    const QCommandLineOption interval(
        QStringLiteral("interval"),
        QStringLiteral("Advance every MS milliseconds while playing (next track, or next stream "
                       "title on the station)."),
        QStringLiteral("MS"));
    const QCommandLineOption quitAfter(
        QStringLiteral("quit-after"),
        QStringLiteral("Quit one interval (or 1 s) after the Nth track or stream-title change."),
        QStringLiteral("N"));
    const QCommandLineOption name(QStringLiteral("name"),
                                  QStringLiteral("Append .SUFFIX to the bus names (several "
                                                 "instances at once)."),
                                  QStringLiteral("SUFFIX"));
    parser.addOptions({radio, stopped, interval, quitAfter, name});
    parser.process(app);

    demo::Options options;
    options.radio = parser.isSet(radio);
    options.stopped = parser.isSet(stopped);
    bool ok = true;
    if (parser.isSet(interval))
        options.intervalMs = parser.value(interval).toInt(&ok);
    if (!ok || options.intervalMs < 0) {
        std::fprintf(stderr, "tessaly-demo-player: --interval needs a number of milliseconds\n");
        return 2;
    }
    if (parser.isSet(quitAfter))
        options.quitAfter = parser.value(quitAfter).toInt(&ok);
    if (!ok || options.quitAfter < 0) {
        std::fprintf(stderr, "tessaly-demo-player: --quit-after needs a whole number\n");
        return 2;
    }
    options.suffix = parser.value(name);
    const QString dot = options.suffix.isEmpty() ? QString() : QStringLiteral(".") + options.suffix;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "tessaly-demo-player: no session bus\n");
        return 1;
    }
    demo::DemoPlayer player(bus, options);
    new demo::RootAdaptor(&player);
    const auto* mpris = new demo::PlayerAdaptor(&player);
    QObject control;
    new demo::ControlAdaptor(&control, &player, mpris);
    if (!bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), &player) ||
        !bus.registerObject(QStringLiteral("/org/tessaly/DemoPlayer"), &control)) {
        std::fprintf(stderr, "tessaly-demo-player: cannot register objects\n");
        return 1;
    }
    // The control name first: once the MPRIS name shows, tests may drive the player at once.
    const QString controlName = QStringLiteral("org.tessaly.DemoPlayer") + dot;
    const QString playerName = QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo") + dot;
    if (!bus.registerService(controlName) || !bus.registerService(playerName)) {
        std::fprintf(stderr, "tessaly-demo-player: bus name taken: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    return app.exec();
}
