// Measures how long a change on the player takes to reach NowPlaying: a Next call through the
// connection, and a new stream title on the station. Needs a session bus (scripts/bench gives
// each benchmark its own); prints median and 99th percentile.

#include "watcher/mpris/MprisConnection.h"
#include "watcher/PlayerEventHandlers.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <vector>

namespace {

class CountingHost : public tessaly::PlayerEventHost {
public:
    void NowPlaying(std::u16string_view, std::u16string_view, std::u16string_view,
                    std::u16string_view, std::u16string_view) override
    {
        ++refreshes;
    }
    std::u16string FormatString() const override { return u"%L: %A - %T"; }
    void ExitCommand() override {}
    int refreshes = 0;
};

class StayRunning : public tessaly::QuitQuestion {
public:
    bool AskShutdown() override { return false; }
};

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

void Report(const char* what, std::vector<double> ms)
{
    if (ms.empty()) {
        std::printf("%s: no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, std::size_t(q * ms.size()))];
    };
    std::printf("%-44s n=%zu  median %.1f ms  p99 %.1f ms  min %.1f ms  max %.1f ms\n", what,
                ms.size(), at(0.5), at(0.99), ms.front(), ms.back());
}

// Times `samples` changes, each started by `change`, until one more refresh arrives.
std::vector<double> Measure(int samples, CountingHost& host, const std::function<void()>& change)
{
    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
        const int before = host.refreshes;
        QElapsedTimer t;
        t.start();
        change();
        if (!WaitUntil([&] { return host.refreshes > before; }, 5000)) {
            std::printf("a change brought no refresh\n");
            break;
        }
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        WaitUntil([] { return false; }, 50); // lets stray events show before the next sample
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr,
                     "tessaly-bench-player: needs a session bus (run under dbus-run-session)\n");
        return 1;
    }
    const int samples = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    QProcess demo;
    demo.start(QStringLiteral(DEMO_PLAYER), {QStringLiteral("--name"), QStringLiteral("bench")});
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo.bench");
    if (!WaitUntil([&] { return bus.interface()->isServiceRegistered(name).value(); }, 5000)) {
        std::fprintf(stderr, "tessaly-bench-player: the demo player did not start\n");
        return 1;
    }

    tessaly::mpris::MprisConnection player(bus);
    CountingHost host;
    StayRunning stay;
    tessaly::PlayerEventHandlers handlers(player, host, stay);
    player.SetEvents(&handlers);

    Report("Next call to refresh (local track)",
           Measure(samples, host, [&] { player.NextTrack(); }));

    const auto control = [&](const QString& method, const QVariantList& args) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(QStringLiteral("org.tessaly.DemoPlayer.bench"),
                                           QStringLiteral("/org/tessaly/DemoPlayer"),
                                           QStringLiteral("org.tessaly.DemoPlayer"), method);
        m.setArguments(args);
        bus.call(m, QDBus::Block, 2000);
    };
    control(QStringLiteral("SwitchToRadio"), {});
    WaitUntil([] { return false; }, 600);
    int n = 0;
    Report("stream title to refresh (radio)", Measure(samples, host, [&] {
               control(QStringLiteral("SetStreamTitle"),
                       {QStringLiteral("Bench - Title %1").arg(++n), true});
           }));
    std::printf("(both include the %d ms quiet time the connection waits after a signal)\n",
                tessaly::mpris::kDebounceMs);
    demo.kill();
    demo.waitForFinished(2000);
    return 0;
}
