// What following players costs, measured on the player connection alone:
//  - the longest event the user-interface thread handles while a hostile player sends a 16 MiB
//    title (the connection in this process; every event of that thread timed);
//  - wake-ups of a process that only follows players (a child of this one), on an ICY stream
//    played by mpv with mpv-mpris, which signals its title changes (and its growing length);
//  - the same on a stream played by Audacious, before its first title change and after it;
//  - wake-ups of that process per unrelated client connecting to the bus and leaving.
// Needs a session bus of its own (scripts/bench, or dbus-run-session); mpv and mpv-mpris for the
// stream figure. Prints figures; nothing here passes or fails on speed.

#include "BenchSupport.h"
#include "support/MpvPlugin.h"
#include "watcher/mpris/MprisConnection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
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

// Processor time this thread has used, in milliseconds.
double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Times every event the user-interface thread handles: the longest one is how long that thread
// could not serve anything else. Processor time as well as clock time, since a loaded machine
// stretches the clock time of even the shortest handler.
class TimedApplication : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (QThread::currentThread() != thread())
            return QCoreApplication::notify(receiver, event);
        const double cpu = ThreadCpuMs();
        QElapsedTimer clock;
        clock.start();
        const bool handled = QCoreApplication::notify(receiver, event);
        longestCpuMs = std::max(longestCpuMs, ThreadCpuMs() - cpu);
        longestWallMs = std::max(longestWallMs, double(clock.nsecsElapsed()) / 1e6);
        return handled;
    }
    void reset() { longestCpuMs = longestWallMs = 0; }

    double longestCpuMs = 0;
    double longestWallMs = 0;
};

void StallFigure(QDBusConnection bus, TimedApplication& app)
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
    std::vector<double> cpu, wall, arrivals;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        app.reset();
        bus.asyncCall(HostileCall(QStringLiteral("Inflate"),
                                  {QStringLiteral("xesam:title"), uint(kTitleUnits)}));
        // A loaded machine can take the player past the 2 s read limit: ask again then.
        QTimer again;
        QObject::connect(&again, &QTimer::timeout,
                         [&] { bus.asyncCall(HostileCall(QStringLiteral("Probe"), {})); });
        again.start(3000);
        bench::Pump([&] { return name().size() > 1000; }, 30000);
        again.stop();
        if (name().size() <= 1000) {
            std::printf("stall: the huge title never arrived\n");
            continue;
        }
        cpu.push_back(app.longestCpuMs);
        wall.push_back(app.longestWallMs);
        arrivals.push_back(double(t.nsecsElapsed()) / 1e6);
        bus.call(
            HostileCall(QStringLiteral("SetState"),
                        {QStringLiteral("Playing"), LocalTrack(QStringLiteral("Small")), true}));
        bench::Pump([&] { return name() == u"Small"; }, 5000);
        bench::Pump([] { return false; }, 300);
    }
    bench::PrintFigure("UI thread's longest event, 16 MiB title (cpu)", cpu);
    bench::PrintFigure("UI thread's longest event, 16 MiB title (clock)", wall);
    bench::PrintFigure("16 MiB title sent to capped track known", arrivals);
    hostile.kill();
    hostile.waitForFinished(2000);
}

using tessaly::test::MpvMprisPlugin;

// The follower, measured from inside by the preloaded probe: every thread, ended ones included.
struct Follower {
    qint64 pid;
    const bench::UsageProbe& probe;

    std::optional<bench::Usage> Read() const { return probe.read(pid); }
};

long long WakeupsSince(const Follower& follower, const std::optional<bench::Usage>& before)
{
    const std::optional<bench::Usage> after = follower.Read();
    return before && after ? bench::WakeupsBetween(*before, *after) : -1;
}

void PrintWakeups(const char* what, const Follower& follower, int seconds)
{
    const std::optional<bench::Usage> before = follower.Read();
    bench::Pump([] { return false; }, seconds * 1000);
    const long long n = WakeupsSince(follower, before);
    std::printf("%-44s %6.2f wake-ups/s (%lld over %d s)\n", what, double(n) / seconds, n, seconds);
    std::fflush(stdout);
}

void StreamFigure(const Follower& follower)
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

void AudaciousFigure(const Follower& follower)
{
    const QString audacious = QStandardPaths::findExecutable(QStringLiteral("audacious"));
    if (audacious.isEmpty()) {
        std::printf("stream: audacious is not installed\n");
        return;
    }
    // One title for 40 s, then another, which Audacious signals.
    QProcess radio;
    radio.start(QStringLiteral(RADIO_SERVER),
                {QStringLiteral("--interval"), QStringLiteral("40"), QStringLiteral("--titles"),
                 QStringLiteral("Artist A - First Song|Artist B - Second Song|Artist B - Second "
                                "Song|Artist B - Second Song")});
    if (!bench::Pump([&] { return radio.canReadLine(); }, 10000)) {
        std::printf("stream: the radio server did not start\n");
        return;
    }
    const QString port = QString::fromUtf8(radio.readLine()).section(u' ', 1, 1).trimmed();
    // No sound card: ALSA's default device discards the samples.
    QTemporaryDir home;
    QFile asoundrc(home.filePath(QStringLiteral(".asoundrc")));
    if (asoundrc.open(QIODevice::WriteOnly))
        asoundrc.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n");
    asoundrc.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    QProcess player;
    player.setProcessEnvironment(env);
    player.start(audacious, {QStringLiteral("--headless"),
                             QStringLiteral("http://127.0.0.1:%1/live.mp3").arg(port)});
    bench::Pump([] { return false; }, 5000);
    PrintWakeups("on a stream, no title change yet (Audacious)", follower, 30);
    bench::Pump([] { return false; }, 9000); // the change at 40 s, and its read
    PrintWakeups("on a stream after a signalled change (Audacious)", follower, 30);
    player.kill();
    player.waitForFinished(2000);
    radio.kill();
    radio.waitForFinished(2000);
    bench::Pump([] { return false; }, 1000);
}

void ClientsFigure(const Follower& follower)
{
    const QString address = QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
    constexpr int kClients = 40;
    const std::optional<bench::Usage> before = follower.Read();
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
    const long long n = WakeupsSince(follower, before);
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
    TimedApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "tessaly-bench-player-cost: needs a session bus (dbus-run-session)\n");
        return 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "--follow") == 0)
        return Follow();
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    if (only.isEmpty() || only == QLatin1String("stall"))
        StallFigure(bus, app);
    if (!only.isEmpty() && only != QLatin1String("stream") && only != QLatin1String("clients") &&
        only != QLatin1String("audacious"))
        return 0;
    QProcess follower;
    const bench::UsageProbe probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    probe.prepare(env);
    follower.setProcessEnvironment(env);
    if (!bench::StartAndWait(follower, QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--follow")}, "following", 10000)) {
        std::printf("the following process did not start\n");
        return 1;
    }
    bench::Pump([] { return false; }, 1000);
    const Follower measured{follower.processId(), probe};
    PrintWakeups("idle, no player", measured, 5);
    if (only.isEmpty() || only == QLatin1String("clients"))
        ClientsFigure(measured);
    if (only.isEmpty() || only == QLatin1String("stream"))
        StreamFigure(measured);
    if (only.isEmpty() || only == QLatin1String("audacious"))
        AudaciousFigure(measured);
    follower.kill();
    follower.waitForFinished(2000);
    return 0;
}
