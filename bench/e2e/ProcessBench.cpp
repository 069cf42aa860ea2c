// The tessaly process as a user runs it: start-up time (process start -> main window shown,
// median of 10) and idle wake-ups per second over 30 s, with no popup and no stream, and while a
// stream plays.

#include "BenchSupport.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

namespace {

using bench::Clock;

// Starts tessaly and waits for its window; answers the milliseconds it took, or a negative value.
double StartOnce(QProcess& tessaly)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tessaly.shell.debug=true"));
    tessaly.setProcessEnvironment(env);
    const auto started = Clock::now();
    tessaly.start(QStringLiteral(TESSALY_PROGRAM), {});
    QByteArray seen;
    const bool shown = bench::Pump(
        [&] {
            seen += tessaly.readAllStandardError();
            return seen.contains("window shown");
        },
        10000);
    return shown ? std::chrono::duration<double, std::milli>(Clock::now() - started).count() : -1.0;
}

void Stop(QProcess& process)
{
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

void PrintWakeups(const char* what, qint64 pid, int seconds)
{
    const auto before = bench::ContextSwitches(pid);
    bench::Pump([] { return false; }, seconds * 1000);
    const long long wakeups = bench::WakeupsBetween(before, bench::ContextSwitches(pid));
    std::printf("%-44s %6.2f wake-ups/s (%lld over %d s)\n", what, double(wakeups) / seconds,
                wakeups, seconds);
    std::fflush(stdout);
}

bool CallControl(const char* method)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.tessaly.DemoPlayer"), QStringLiteral("/org/tessaly/DemoPlayer"),
        QStringLiteral("org.tessaly.DemoPlayer"), QString::fromLatin1(method));
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000).type() ==
           QDBusMessage::ReplyMessage;
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

    std::vector<double> startup;
    for (int i = 0; i < 10; ++i) {
        QProcess tessaly;
        const double ms = StartOnce(tessaly);
        if (ms >= 0)
            startup.push_back(ms);
        Stop(tessaly);
    }
    if (startup.empty())
        std::printf("start-up: the window was never reported shown\n");
    else
        bench::PrintFigure("start-up: process start -> window shown", startup);

    // Idle: the player is stopped, no popup is open.
    QProcess tessaly;
    if (StartOnce(tessaly) < 0) {
        std::fprintf(stderr, "process bench: tessaly did not start\n");
        return 1;
    }
    bench::Pump([] { return false; }, 2000);
    PrintWakeups("idle: no popup, no stream", tessaly.processId(), 30);

    // A stream that keeps its title: only the poll for silent title changes may wake us.
    CallControl("SwitchToRadio");
    bench::Pump([] { return false; }, 9000); // the radio popup rises, holds and sinks
    PrintWakeups("idle: on a stream, no popup", tessaly.processId(), 30);
    std::printf("memory: tessaly after the runs %.1f MB\n",
                double(bench::ResidentKiB(tessaly.processId())) / 1024.0);

    Stop(tessaly);
    Stop(player);
    return 0;
}
