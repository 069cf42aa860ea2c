// The tessaly process as a user runs it, measured from outside: start-up time (process start ->
// main window mapped on the X server, median of 10), wake-ups (context switches of all its
// threads, those that ended included), memory across track changes that come the real way (the
// demo player over MPRIS, the Messenger stand-in taking each status), and the same figures of
// `playerctl --follow metadata` in the same run for comparison.

#include "BenchSupport.h"
#include "MapWatch.h"
#include "support/MpvPlugin.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using bench::Clock;

// Starts tessaly (with probe, when given, preloaded) and waits until the X server maps its main
// window; answers the milliseconds it took, or a negative value. *logged gets when tessaly logged
// "window shown", which is what the start-up figure used to be.
double StartOnce(QProcess& tessaly, const bench::UsageProbe* probe = nullptr,
                 double* logged = nullptr)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (probe)
        probe->prepare(env);
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tessaly.shell.debug=true"));
    tessaly.setProcessEnvironment(env);
    tessaly.setStandardOutputFile(QProcess::nullDevice());
    bench::MapWatch watch;
    if (!watch.ok())
        return -1.0;
    const auto started = Clock::now();
    const auto since = [&started](Clock::time_point t) {
        return std::chrono::duration<double, std::milli>(t - started).count();
    };
    QByteArray seen;
    // Its log is read as it comes, so that it never fills the pipe.
    QObject::connect(&tessaly, &QProcess::readyReadStandardError, &tessaly, [&] {
        const bool before = seen.contains("window shown");
        seen += tessaly.readAllStandardError();
        if (!before && seen.contains("window shown") && logged)
            *logged = since(Clock::now());
    });
    tessaly.start(QStringLiteral(TESSALY_PROGRAM), {});
    if (!tessaly.waitForStarted(5000))
        return -1.0;
    const auto mapped = watch.waitForMapped(tessaly.processId(), QStringLiteral("Tessaly"), 10000);
    if (!mapped) {
        // Say why, so that a missing start in the figure can be told from a slow one.
        seen += tessaly.readAllStandardError();
        const QString state = tessaly.state() == QProcess::Running
                                  ? QStringLiteral("still running")
                                  : QStringLiteral("ended with %1").arg(tessaly.exitCode());
        std::fprintf(stderr, "start-up: no window mapped within 10 s, tessaly %s; its log:\n%s\n",
                     qPrintable(state), seen.right(2000).constData());
    }
    // Later lines are read and dropped: a closed pipe would end tessaly at its next warning.
    QObject::disconnect(&tessaly, &QProcess::readyReadStandardError, nullptr, nullptr);
    QObject::connect(&tessaly, &QProcess::readyReadStandardError, &tessaly,
                     [&tessaly] { tessaly.readAllStandardError(); });
    return mapped ? since(*mapped) : -1.0;
}

void Stop(QProcess& process)
{
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// A program measured beside tessaly: its process and the probe preloaded into it.
struct Measured {
    const char* name;
    QProcess* process;
    bench::UsageProbe* probe;
};

// Wake-ups of each program over the same `seconds`, while `during` runs (or the loop idles).
std::vector<double> WakeupsPerSecond(const std::vector<Measured>& programs, int seconds,
                                     const std::function<void()>& during = {})
{
    std::vector<bench::Usage> before;
    for (const Measured& m : programs)
        before.push_back(m.probe->read(m.process->processId()).value_or(bench::Usage{}));
    const auto start = Clock::now();
    if (during)
        during();
    const auto left = std::chrono::seconds(seconds) - (Clock::now() - start);
    bench::Pump([] { return false; },
                int(std::max<long long>(
                    0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count())));
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> rates;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const auto after = programs[i].probe->read(programs[i].process->processId());
        rates.push_back(after ? double(bench::WakeupsBetween(before[i], *after)) / elapsed : -1.0);
    }
    return rates;
}

void PrintRates(const char* what, const std::vector<Measured>& programs,
                const std::vector<double>& rates, const char* target)
{
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::printf("%-52s %-10s %7.2f /s%s%s\n", what, programs[i].name, rates[i],
                    i == 0 && *target ? "   target " : "", i == 0 ? target : "");
    std::fflush(stdout);
}

bool CallControl(const char* method)
{
    return bench::Call("org.tessaly.DemoPlayer", "/org/tessaly/DemoPlayer",
                       "org.tessaly.DemoPlayer", method);
}

using bench::CallPlayer;

bool StartPeer(QProcess& playerctl, const bench::UsageProbe& probe)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("playerctl"));
    if (program.isEmpty())
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    probe.prepare(env);
    playerctl.setProcessEnvironment(env);
    playerctl.setStandardOutputFile(QProcess::nullDevice());
    playerctl.setStandardErrorFile(QProcess::nullDevice());
    playerctl.start(program, {QStringLiteral("--follow"), QStringLiteral("metadata")});
    return playerctl.waitForStarted(5000);
}

// Track changes the real way: the demo player's Next over MPRIS, each waited for until the
// Messenger stand-in has taken up the status tessaly published.
void MemoryThroughMpris(const std::vector<Measured>& programs, int changes)
{
    QProcess messenger;
    if (!bench::StartAndWait(messenger, QStringLiteral(MESSENGER_STANDIN),
                             {QStringLiteral("--user"), QStringLiteral("bench")}, "ready", 10000)) {
        std::printf("memory: the Messenger stand-in did not start\n");
        return;
    }
    CallPlayer("Play");
    QByteArray seen;
    int statuses = 0;
    const auto countStatuses = [&] {
        seen += messenger.readAllStandardOutput();
        statuses += int(seen.count("status: "));
        seen = seen.mid(seen.lastIndexOf('\n') + 1);
        return statuses;
    };
    bench::Pump([&] { return countStatuses() > 0; }, 5000);
    bench::Pump([] { return false; }, 8000); // the first popup rises, holds and sinks
    countStatuses();
    std::vector<long> before;
    for (const Measured& m : programs)
        before.push_back(bench::ResidentKiB(m.process->processId()));
    const auto print = [&](const char* what, const char* target) {
        for (std::size_t i = 0; i < programs.size(); ++i)
            std::printf("%-52s %-10s %7.1f MB%s%s\n", what, programs[i].name,
                        double(bench::ResidentKiB(programs[i].process->processId())) / 1024.0,
                        i == 0 && target ? "   target " : "", i == 0 && target ? target : "");
        std::fflush(stdout);
    };
    print("memory: before the changes (popups on)", nullptr);
    int failed = 0;
    for (int i = 0; i < changes; ++i) {
        const int expected = statuses + 1;
        if (!CallPlayer("Next") || !bench::Pump([&] { return countStatuses() >= expected; }, 5000))
            ++failed;
    }
    std::printf("memory: %d changes over MPRIS, %d not taken up by the Messenger\n", changes,
                failed);
    print("memory: after the changes, the last popups open", "<= 45 MB");
    bench::Pump([] { return false; }, 9000);
    print("memory: after the popups closed", nullptr);
    std::printf("memory: tessaly kept %+.1f MB over its level before the changes   target <= 3 "
                "MB\n",
                double(bench::ResidentKiB(programs[0].process->processId()) - before[0]) / 1024.0);
    CallPlayer("Stop");
    Stop(messenger);
}

using tessaly::test::MpvMprisPlugin;

// mpv playing an internet radio whose title stays (one title; the server makes its Ogg links as
// long as the interval, so that is kept short), with mpv-mpris: a player that signals every
// change, so nothing needs polling.
void WakeupsOnMpvStream(const std::vector<Measured>& programs)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    const QString plugin = MpvMprisPlugin();
    if (mpv.isEmpty() || plugin.isEmpty()) {
        std::printf("wake-ups on an mpv stream: mpv with mpv-mpris is not installed\n");
        return;
    }
    QProcess radio;
    radio.start(QStringLiteral(RADIO_SERVER),
                {QStringLiteral("--interval"), QStringLiteral("120"), QStringLiteral("--titles"),
                 QStringLiteral("Bench Artist - One Long Song")});
    if (!radio.waitForStarted(5000) || !bench::Pump([&] { return radio.canReadLine(); }, 10000)) {
        std::printf("wake-ups on an mpv stream: the radio server did not start\n");
        Stop(radio);
        return;
    }
    const QString port = QString::fromUtf8(radio.readLine()).trimmed().section(' ', 1);
    QProcess player;
    player.setStandardOutputFile(QProcess::nullDevice());
    player.setStandardErrorFile(QProcess::nullDevice());
    player.start(mpv, {QStringLiteral("--no-config"), QStringLiteral("--no-video"),
                       QStringLiteral("--ao=null"), QStringLiteral("--no-terminal"),
                       QStringLiteral("--script=") + plugin,
                       QStringLiteral("http://127.0.0.1:%1/live.mp3").arg(port)});
    if (player.waitForStarted(5000)) {
        // Its popup rises, holds and sinks first.
        bench::Pump([] { return false; }, 10000);
        PrintRates("wake-ups: mpv on a stream, 30 s", programs, WakeupsPerSecond(programs, 30),
                   "<= 0.6 /s");
    }
    Stop(player);
    Stop(radio);
}

// Bus clients that have nothing to do with players connect and leave: each is a
// NameOwnerChanged on the bus.
void WakeupsFromUnrelatedClients(const std::vector<Measured>& programs)
{
    constexpr int kClients = 20;
    constexpr int kSeconds = 20;
    const QString dbusSend = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
    if (dbusSend.isEmpty()) {
        std::printf("wake-ups from unrelated clients: dbus-send is not installed\n");
        return;
    }
    const std::vector<double> quiet = WakeupsPerSecond(programs, kSeconds);
    const std::vector<double> busy = WakeupsPerSecond(programs, kSeconds, [&] {
        for (int i = 0; i < kClients; ++i) {
            QProcess client;
            client.start(dbusSend,
                         {QStringLiteral("--session"), QStringLiteral("--type=method_call"),
                          QStringLiteral("--dest=org.freedesktop.DBus"),
                          QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus.Peer.Ping")});
            client.waitForFinished(5000);
            bench::Pump([] { return false; }, 200);
        }
    });
    std::vector<double> perClient;
    for (std::size_t i = 0; i < programs.size(); ++i)
        perClient.push_back((busy[i] - quiet[i]) * kSeconds / kClients);
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::printf("%-52s %-10s %7.2f per client%s\n",
                    "wake-ups: unrelated bus clients (20 connect, leave)", programs[i].name,
                    perClient[i], i == 0 ? "   target 0" : "");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr,
                     "process bench: needs a session bus (run it under dbus-run-session)\n");
        return 1;
    }
    bench::ScratchHome home;
    QProcess player;
    if (!bench::StartAndWait(
            player, QStringLiteral(DEMO_PLAYER),
            {QStringLiteral("--stopped"), QStringLiteral("--interval"), QStringLiteral("3600000")},
            {}, 5000))
        return 1;
    bench::Pump([] { return false; }, 500);

    // The wall time depends on how loaded the machine is; the CPU time tessaly spent until its
    // window was mapped hardly does.
    std::vector<double> startup, logged, cpu;
    for (int i = 0; i < 10; ++i) {
        QProcess tessaly;
        bench::UsageProbe probe;
        double loggedMs = -1.0;
        const double ms = StartOnce(tessaly, &probe, &loggedMs);
        if (ms >= 0) {
            startup.push_back(ms);
            if (const auto usage = probe.read(tessaly.processId()))
                cpu.push_back(double(usage->cpuUs) / 1000.0);
        }
        if (loggedMs >= 0)
            logged.push_back(loggedMs);
        Stop(tessaly);
    }
    if (startup.empty())
        std::printf("start-up: the main window was never mapped\n");
    else
        bench::PrintFigure("start-up: process start -> main window mapped", startup,
                           "median <= 100 ms");
    if (!logged.empty())
        bench::PrintFigure("  (process start -> \"window shown\" logged)", logged);
    if (!cpu.empty())
        bench::PrintFigure("  CPU time of tessaly until mapped (any load)", cpu);

    // The long-running instance and its peer, each with the probe that counts every thread.
    bench::UsageProbe tessalyProbe, peerProbe;
    QProcess tessaly, playerctl;
    if (StartOnce(tessaly, &tessalyProbe) < 0) {
        std::fprintf(stderr, "process bench: tessaly did not start\n");
        return 1;
    }
    std::vector<Measured> programs{{"tessaly", &tessaly, &tessalyProbe}};
    if (StartPeer(playerctl, peerProbe))
        programs.push_back({"playerctl", &playerctl, &peerProbe});
    else
        std::printf("peer: playerctl is not installed; its rows are left out\n");
    bench::Pump([] { return false; }, 2000);
    PrintRates("wake-ups: idle, no popup, no stream, 30 s", programs,
               WakeupsPerSecond(programs, 30), "0 /s");

    WakeupsFromUnrelatedClients(programs);
    MemoryThroughMpris(programs, qEnvironmentVariableIntValue("TESSALY_BENCH_CHANGES") > 0
                                     ? qEnvironmentVariableIntValue("TESSALY_BENCH_CHANGES")
                                     : 1000);
    WakeupsOnMpvStream(programs);

    // A stream that keeps its title, from a player that does not say when it changes.
    CallControl("SwitchToRadio");
    bench::Pump([] { return false; }, 9000); // the radio popup rises, holds and sinks
    PrintRates("wake-ups: demo player on a stream, 30 s", programs, WakeupsPerSecond(programs, 30),
               "");
    CallPlayer("Stop");

    Stop(playerctl);
    Stop(tessaly);
    Stop(player);
    return 0;
}
