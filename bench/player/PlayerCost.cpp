// What following players costs, measured on the player connection alone:
//  - the user-interface thread's longest stall while a hostile player sends a 16 MiB title
//    (the connection in this process, a 1 ms timer timing the gaps of its event loop);
//  - wake-ups of a process that only follows players (a child of this one), on an ICY stream
//    played by mpv with mpv-mpris, which signals its title changes;
//  - wake-ups of that process per unrelated client connecting to the bus and leaving.
// Needs a session bus of its own (scripts/bench, or dbus-run-session); mpv and mpv-mpris for the
// stream figure. Prints figures; nothing here passes or fails on speed.

#include "BenchSupport.h"
#include "watcher/mpris/MprisConnection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <vector>

namespace {

constexpr int kTitleUnits = 16 << 20;

QDBusMessage HostileCall(const QString& method, const QVariantList& args)
{
    QDBusMessage m =
        QDBusMessage::createMethodCall(QStringLiteral("org.tessaly.HostilePlayer.bench"),
                                       QStringLiteral("/org/tessaly/HostilePlayer"),
                                       QStringLiteral("org.tessaly.HostilePlayer"), method);
    m.setArguments(args);
    return m;
}

QVariantMap LocalTrack(const QString& title)
{
    return {{QStringLiteral("xesam:url"), QStringLiteral("file:///music/bench.ogg")},
            {QStringLiteral("xesam:title"), title},
            {QStringLiteral("mpris:length"), qlonglong(180000000)}};
}

// The longest gap between ticks of a 1 ms timer while `until` is false: how long the thread's
// event loop could not serve an event.
double LongestStallMs(const std::function<bool()>& until, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    bench::Pump(until, timeoutMs);
    return double(longest) / 1e6;
}

void StallFigure(QDBusConnection bus)
{
    QProcess hostile;
    if (!bench::StartAndWait(hostile, QStringLiteral(HOSTILE_PLAYER),
                             {QStringLiteral("--name"), QStringLiteral("bench")}, "ready", 10000)) {
        std::printf("stall: the hostile player did not start\n");
        return;
    }
    bus.call(HostileCall(QStringLiteral("SetState"),
                         {QStringLiteral("Playing"), LocalTrack(QStringLiteral("Small")), true}));
    tessaly::mpris::MprisConnection player(bus);
    const auto name = [&] {
        const auto track = player.CurrentTrack();
        return track ? track->Name() : std::u16string();
    };
    bench::Pump([&] { return name() == u"Small"; }, 5000);
    std::vector<double> idle = {LongestStallMs([] { return false; }, 1000)};
    std::vector<double> stalls, arrivals;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        bus.asyncCall(HostileCall(QStringLiteral("Inflate"),
                                  {QStringLiteral("xesam:title"), uint(kTitleUnits)}));
        const double stall = LongestStallMs([&] { return name().size() > 1000; }, 20000);
        if (name().size() <= 1000) {
            std::printf("stall: the huge title never arrived\n");
            break;
        }
        stalls.push_back(stall);
        arrivals.push_back(double(t.nsecsElapsed()) / 1e6);
        bus.call(
            HostileCall(QStringLiteral("SetState"),
                        {QStringLiteral("Playing"), LocalTrack(QStringLiteral("Small")), true}));
        bench::Pump([&] { return name() == u"Small"; }, 5000);
        bench::Pump([] { return false; }, 300);
    }
    bench::PrintFigure("UI thread's longest stall, nothing happening", idle);
    bench::PrintFigure("UI thread's longest stall, 16 MiB title", stalls);
    bench::PrintFigure("16 MiB title sent to capped track known", arrivals);
    hostile.kill();
    hostile.waitForFinished(2000);
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

void PrintWakeups(const char* what, qint64 pid, int seconds)
{
    const auto before = bench::ContextSwitches(pid);
    bench::Pump([] { return false; }, seconds * 1000);
    const long long n = bench::WakeupsBetween(before, bench::ContextSwitches(pid));
    std::printf("%-44s %6.2f wake-ups/s (%lld over %d s)\n", what, double(n) / seconds, n, seconds);
    std::fflush(stdout);
}

void StreamFigure(qint64 follower)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    const QString plugin = MpvMprisPlugin();
    if (mpv.isEmpty() || plugin.isEmpty()) {
        std::printf("stream: mpv with mpv-mpris is not installed\n");
        return;
    }
    // One title change 4 s in, which mpv signals; then the same title for 44 s.
    QStringList titles = {QStringLiteral("Artist A - First Song")};
    for (int i = 0; i < 11; ++i)
        titles << QStringLiteral("Artist B - Second Song");
    QProcess radio;
    radio.start(QStringLiteral(RADIO_SERVER), {QStringLiteral("--interval"), QStringLiteral("4"),
                                               QStringLiteral("--titles"), titles.join(u'|')});
    if (!bench::Pump([&] { return radio.canReadLine(); }, 10000)) {
        std::printf("stream: the radio server did not start\n");
        return;
    }
    const QString port = QString::fromUtf8(radio.readLine()).section(u' ', 1, 1).trimmed();
    QProcess player;
    player.start(mpv, {QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                       QStringLiteral("--ao=null"), QStringLiteral("--no-terminal"),
                       QStringLiteral("--script=") + plugin,
                       QStringLiteral("http://127.0.0.1:%1/live.mp3").arg(port)});
    // The title change and its reads are over by 8 s; 30 s of one title follow.
    bench::Pump([] { return false; }, 8000);
    PrintWakeups("on a stream whose player signals (mpv)", follower, 30);
    player.kill();
    player.waitForFinished(2000);
    radio.kill();
    radio.waitForFinished(2000);
    bench::Pump([] { return false; }, 1000);
}

void ClientsFigure(qint64 follower)
{
    const QString address = QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
    constexpr int kClients = 40;
    const auto before = bench::ContextSwitches(follower);
    for (int i = 0; i < kClients; ++i) {
        const QString name = QStringLiteral("bench-client-%1").arg(i);
        {
            QDBusConnection c = QDBusConnection::connectToBus(address, name);
            c.interface()->registeredServiceNames(); // a client that does something
        }
        QDBusConnection::disconnectFromBus(name);
        bench::Pump([] { return false; }, 50);
    }
    bench::Pump([] { return false; }, 1000);
    const long long n = bench::WakeupsBetween(before, bench::ContextSwitches(follower));
    std::printf("%-44s %6.2f wake-ups per client (%lld over %d clients)\n",
                "unrelated clients connecting and leaving", double(n) / kClients, n, kClients);
}

int Follow()
{
    tessaly::mpris::MprisConnection player(QDBusConnection::sessionBus());
    std::printf("following\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "tessaly-bench-player-cost: needs a session bus (dbus-run-session)\n");
        return 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "--follow") == 0)
        return Follow();
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    if (only.isEmpty() || only == QLatin1String("stall"))
        StallFigure(bus);
    if (!only.isEmpty() && only != QLatin1String("stream") && only != QLatin1String("clients"))
        return 0;
    QProcess follower;
    if (!bench::StartAndWait(follower, QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--follow")}, "following", 10000)) {
        std::printf("the following process did not start\n");
        return 1;
    }
    bench::Pump([] { return false; }, 1000);
    PrintWakeups("idle, no player", follower.processId(), 5);
    if (only.isEmpty() || only == QLatin1String("clients"))
        ClientsFigure(follower.processId());
    if (only.isEmpty() || only == QLatin1String("stream"))
        StreamFigure(follower.processId());
    follower.kill();
    follower.waitForFinished(2000);
    return 0;
}
