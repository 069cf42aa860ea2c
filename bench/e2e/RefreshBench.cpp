// Refresh cost and memory of the whole refresh path, in-process, against real peers: the demo
// player emits a track change, the MPRIS connection announces it after its debounce, frmMain
// refreshes and the status writer (its own thread, as in the program) publishes until command
// 388 is answered by the Messenger stand-in.
//
// Prints, over 200 track changes: the refresh's cost from the settled signal (the debounce timer
// firing) through the re-read of the player's properties to command 388 answered, and its parts;
// then the resident memory after 1,000 and 10,000 refreshes made by direct calls with
// notifications off, and around 200 with them on. The memory of track changes through MPRIS is
// measured on the tessaly process itself (tessaly-bench-process).

#include "BenchSupport.h"
#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "common/qt/QtText.h"
#include "common/Settings.h"
#include "popup/qt/PopupAlerts.h"
#include "publisher/FanOutPublisher.h"
#include "publisher/linux/LinuxStatusPublisher.h"
#include "publisher/linux/LocaleCodePage.h"
#include "publisher/linux/PidginStatus.h"
#include "publisher/StatusWriter.h"
#include "shell/qt/frmMain.h"
#include "shell/qt/MessageBoxes.h"
#include "watcher/linux/PosixFileAppend.h"
#include "watcher/mpris/MprisConnection.h"
#include "watcher/mpris/MprisPlayer.h"

#include <atomic>
#include <cstdio>
#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>
#include <unistd.h>

namespace {

using bench::Clock;

// The moment the player's signals have settled: the MPRIS connection's debounce timer fires (a
// single-shot timer of at most the debounce interval), seen by an application-wide filter.
class SettleClock : public QObject {
public:
    Clock::time_point fired;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Timer) {
            const auto* timer = qobject_cast<QTimer*>(receiver);
            if (timer && timer->isSingleShot() && timer->interval() <= tessaly::mpris::kDebounceMs)
                fired = Clock::now();
        }
        return false;
    }
};

// Notes when the Messenger's part of a status is done: command 388 answered.
class NotedWhenDone final : public tessaly::StatusPublisher {
public:
    NotedWhenDone(std::unique_ptr<tessaly::StatusPublisher> inner, std::atomic<Clock::rep>& done)
        : inner_(std::move(inner)), done_(done)
    {}
    void SetYahooStatus(const std::u16string& text) override
    {
        inner_->SetYahooStatus(text);
        done_ = Clock::now().time_since_epoch().count();
    }

private:
    std::unique_ptr<tessaly::StatusPublisher> inner_;
    std::atomic<Clock::rep>& done_;
};

// The program's status writer (the Messenger, then Pidgin, on a bus connection of the writer's
// own thread), with the Messenger's part timed.
class TimedMessengers final : public tessaly::StatusPublisher {
public:
    explicit TimedMessengers(std::atomic<Clock::rep>& answered)
    {
        const QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_);
        std::vector<std::unique_ptr<tessaly::StatusPublisher>> messengers;
        messengers.push_back(
            std::make_unique<NotedWhenDone>(CreateLinuxStatusPublisher(bus), answered));
        messengers.push_back(std::make_unique<tessaly::PidginStatus>(bus));
        messengers_ = std::make_unique<tessaly::FanOutPublisher>(std::move(messengers),
                                                                 tessaly::LogFailures(lcPublisher));
    }
    ~TimedMessengers() override
    {
        messengers_.reset();
        QDBusConnection::disconnectFromBus(name_);
    }
    void SetYahooStatus(const std::u16string& text) override { messengers_->SetYahooStatus(text); }

private:
    QString name_ = QStringLiteral("bench-status-writer");
    std::unique_ptr<tessaly::StatusPublisher> messengers_;
};

// Stands between the player and frmMain's handlers and times every event it passes on, up to
// the status writer having published it.
class TimedEvents : public tessaly::PlayerEvents {
public:
    tessaly::PlayerEvents* inner = nullptr;
    tessaly::StatusWriter* writer = nullptr;
    std::atomic<Clock::rep> answered{0};
    Clock::time_point entered;
    Clock::time_point handled;
    Clock::time_point finished;
    int count = 0;

    void OnPlayerPlayEvent(const tessaly::PlayerTrack& t) override
    {
        time([&] { inner->OnPlayerPlayEvent(t); });
    }
    void OnPlayerPlayingTrackChangedEvent(const tessaly::PlayerTrack& t) override
    {
        time([&] { inner->OnPlayerPlayingTrackChangedEvent(t); });
    }
    void OnQuittingEvent() override { inner->OnQuittingEvent(); }
    void OnAboutToPromptUserToQuitEvent() override { inner->OnAboutToPromptUserToQuitEvent(); }
    void OnCOMCallsEnabledEvent() override { inner->OnCOMCallsEnabledEvent(); }

private:
    template <typename F> void time(F f)
    {
        entered = Clock::now();
        if (inner)
            f();
        handled = Clock::now();
        // The handler only hands the status to the writer's thread.
        if (writer && !writer->WaitUntilIdle(std::chrono::seconds(10)))
            std::fprintf(stderr, "refresh bench: the status writer did not finish\n");
        finished = Clock::now();
        ++count;
    }
};

class TimedPlayer : public tessaly::Player {
public:
    TimedPlayer(std::unique_ptr<tessaly::Player> real, TimedEvents& events)
        : real_(std::move(real)), events_(events)
    {}
    void SetEvents(tessaly::PlayerEvents* events) override
    {
        events_.inner = events;
        real_->SetEvents(events ? &events_ : nullptr);
    }
    std::unique_ptr<tessaly::PlayerTrack> CurrentTrack() override { return real_->CurrentTrack(); }
    std::u16string CurrentStreamTitle() override { return real_->CurrentStreamTitle(); }
    tessaly::PlayerResult AppCommandMessageProcessingEnabled(bool on) override
    {
        return real_->AppCommandMessageProcessingEnabled(on);
    }
    tessaly::PlayerResult PreviousTrack() override { return real_->PreviousTrack(); }
    tessaly::PlayerResult NextTrack() override { return real_->NextTrack(); }
    tessaly::PlayerResult PlayPause() override { return real_->PlayPause(); }

private:
    std::unique_ptr<tessaly::Player> real_;
    TimedEvents& events_;
};

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

using bench::CallPlayer;

void PrintMemory(const char* what, long kib)
{
    std::printf("%-44s %8.1f MB\n", what, double(kib) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr,
                     "refresh bench: needs a session bus (run it under dbus-run-session)\n");
        return 1;
    }
    bench::ScratchHome home;

    QProcess messenger, player;
    if (!bench::StartAndWait(messenger, QStringLiteral(MESSENGER_STANDIN),
                             {QStringLiteral("--user"), QStringLiteral("bench")}, "ready", 10000) ||
        !bench::StartAndWait(player, QStringLiteral(DEMO_PLAYER), {QStringLiteral("--stopped")}, {},
                             5000)) {
        std::fprintf(stderr, "refresh bench: the stand-ins did not start\n");
        return 1;
    }
    // The Messenger's status lines are not read here; keep its pipe from filling up.
    QObject::connect(&messenger, &QProcess::readyReadStandardOutput,
                     [&] { messenger.readAllStandardOutput(); });
    bench::Pump([] { return false; }, 500);

    tessaly::MemorySettingsStore store;
    store.write(u"Ballons", u"0");
    TimedEvents timing;
    auto publisher = std::make_unique<tessaly::StatusWriter>(
        [&timing] { return std::make_unique<TimedMessengers>(timing.answered); },
        tessaly::LogFailures(lcPublisher));
    timing.writer = publisher.get();
    SettleClock settle;
    app.installEventFilter(&settle);
    const tessaly::LocaleCodePage ansi;
    tessaly::PosixFileAppend files({});
    tessaly::QtQuitQuestion quitQuestion;
    tessaly::frmMainServices services;
    services.core.store = &store;
    services.core.publisher = publisher.get();
    services.core.quitQuestion = &quitQuestion;
    services.core.files = &files;
    services.core.ansi = &ansi;
    services.core.createPlayer = [&]() -> std::unique_ptr<tessaly::Player> {
        auto real = CreateMprisPlayer(QDBusConnection::sessionBus());
        if (!real)
            return nullptr;
        return std::make_unique<TimedPlayer>(std::move(real), timing);
    };
    services.core.createAlerts =
        [&](tessaly::AlertOwner& owner) -> std::unique_ptr<tessaly::AlertPort> {
        return std::make_unique<tessaly::PopupAlerts>(store, owner);
    };
    services.core.programFolder = tessaly::ToU16(home.path() + "/data/Tessaly");
    services.quit = [] {
    };
    auto window = std::make_unique<frmMain>(services);
    if (!window->Form_Load()) {
        std::fprintf(stderr, "refresh bench: start-up failed\n");
        return 1;
    }

    CallPlayer("Play");
    bench::Pump([&] { return timing.count > 0; }, 5000);
    bench::Pump([] { return false; }, 400);

    std::vector<double> debounce, reread, handler, processing, refreshCost, published, total;
    for (int i = 0; i < 200; ++i) {
        const int before = timing.count;
        const auto sent = Clock::now();
        settle.fired = {};
        if (!CallPlayer("Next") || !bench::Pump([&] { return timing.count > before; }, 5000)) {
            std::fprintf(stderr, "refresh bench: change %d was not announced\n", i);
            return 1;
        }
        if (settle.fired < sent || settle.fired > timing.entered) {
            std::fprintf(stderr, "refresh bench: change %d: no debounce timer was seen\n", i);
            return 1;
        }
        debounce.push_back(Ms(settle.fired - sent));
        reread.push_back(Ms(timing.entered - settle.fired));
        const Clock::time_point answered{Clock::duration(timing.answered.load())};
        handler.push_back(Ms(timing.handled - timing.entered));
        processing.push_back(Ms(answered - timing.entered));
        refreshCost.push_back(Ms(answered - settle.fired));
        published.push_back(Ms(timing.finished - settle.fired));
        total.push_back(Ms(timing.finished - sent));
        // Let the player's trailing signals settle, as between real track changes.
        bench::Pump([] { return false; }, 30);
    }
    // What the peers cost without tessaly's threads: from this single-threaded client, after the
    // same idle time as between track changes, the re-read's GetAll from the player, then a bare
    // Peer.Ping to the Messenger (which its bus library answers without the program).
    std::vector<double> bareRoundTrips;
    for (int i = 0; i < 200; ++i) {
        bench::Pump([] { return false; }, 100);
        const auto start = Clock::now();
        if (!bench::Call("org.mpris.MediaPlayer2.tessaly_demo", "/org/mpris/MediaPlayer2",
                         "org.freedesktop.DBus.Properties", "GetAll",
                         {QStringLiteral("org.mpris.MediaPlayer2.Player")}) ||
            !bench::Call("org.tessaly.WindowClass.YahooBuddyMain", "/", "org.freedesktop.DBus.Peer",
                         "Ping")) {
            std::fprintf(stderr, "refresh bench: a stand-in did not answer\n");
            return 1;
        }
        bareRoundTrips.push_back(Ms(Clock::now() - start));
    }

    std::printf("refresh: demo player Next -> status in the registry and command 388 answered\n");
    bench::PrintFigure("refresh: settled signal -> 388 answered", refreshCost,
                       "p50 <= 1.5 ms, p99 <= 8 ms");
    bench::PrintFigure("  re-read (settled -> handler)", reread);
    bench::PrintFigure("  handler (user-interface thread)", handler);
    bench::PrintFigure("  handler entered -> 388 answered (writer thread)", processing);
    bench::PrintFigure("  settled -> writer idle (Pidgin looked for too)", published);
    bench::PrintFigure("  debounce (Next -> settled), deliberate", debounce);
    bench::PrintFigure("  total (Next -> writer idle)", total);
    bench::PrintFigure("peers alone: GetAll from the player, Ping to the Messenger",
                       bareRoundTrips);

    // Memory: refreshes straight through NowPlaying, with the real status writer.
    const qint64 self = getpid();
    PrintMemory("memory (direct calls): before the refreshes", bench::ResidentKiB(self));
    auto refresh = [&](int i) {
        using tessaly::ToU16;
        window->Controller().NowPlaying(ToU16(QStringLiteral("Artist %1").arg(i % 97)),
                                        ToU16(QStringLiteral("Album %1").arg(i % 13)),
                                        ToU16(QStringLiteral("Title number %1").arg(i)),
                                        u"%L: %A - %T", u"");
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    };
    for (int i = 1; i <= 10000; ++i) {
        refresh(i);
        if (i == 1000)
            PrintMemory("memory (direct calls): after 1,000 refreshes, popups off",
                        bench::ResidentKiB(self));
    }
    PrintMemory("memory (direct calls): after 10,000 refreshes, popups off",
                bench::ResidentKiB(self));

    store.write(u"Ballons", u"1");
    window->chkShowBallons->setChecked(true);
    const long beforePopups = bench::ResidentKiB(self);
    for (int i = 1; i <= 200; ++i)
        refresh(i);
    PrintMemory("memory (direct calls): 200 popups on screen", bench::ResidentKiB(self));
    // Each popup rises, holds five seconds and sinks; a closed one is hidden, and one of them is
    // kept for the next popup.
    const auto popups = [](bool visibleOnly) {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            count +=
                w->objectName() == QLatin1String("frmAlert6") && (!visibleOnly || w->isVisible());
        return count;
    };
    bench::Pump([&] { return popups(true) == 0 && popups(false) <= 1; }, 60000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    PrintMemory("memory (direct calls): after they all closed", bench::ResidentKiB(self));
    std::printf("memory (direct calls): popups on screen after closing: %d, kept for the next: %d "
                "(growth %+.1f MB)\n",
                popups(true), popups(false) - popups(true),
                double(bench::ResidentKiB(self) - beforePopups) / 1024.0);

    window.reset();
    player.terminate();
    messenger.terminate();
    player.waitForFinished(2000);
    messenger.waitForFinished(2000);
    return 0;
}
