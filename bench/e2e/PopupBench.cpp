// The popup as a user meets it, measured from outside the real tessaly process on a private bus
// and display: the cost of one popup's whole life (rise, hold, sink) in tessaly and in the X
// server, its motion ticks as the X server sees them, its pixels at full height, and the resident
// memory while changes keep popups coming and after they have all closed.
//
// The popup's cost is the difference between a track change with popups on and one with popups
// off, each averaged over several changes in a process of its own. CPU time and context switches
// count every thread of tessaly, the ended ones included.
//
// Environment: TESSALY_BENCH_CHANGES (default 1000) changes for the memory figures, one every
// TESSALY_BENCH_CHANGE_MS (default 300); TESSALY_BENCH_SHOT, where to save the full-height picture;
// TESSALY_BENCH_PROGRAM, another tessaly to measure (an earlier build, for a before and after).

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSocketNotifier>
#include <QTimer>
#include <xcb/xcb.h>

namespace {

using bench::Clock;

constexpr int kPopupWidth = 254;
constexpr int kFullHeight = 117;
constexpr int kMeasuredChanges = 5;
// Debounce, rise, five seconds of hold and sink, with room to spare.
constexpr int kPopupLifeMs = 8500;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

int EnvInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

using bench::CallPlayer;

bool Burst(uint count, uint withinMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.tessaly.DemoPlayer"), QStringLiteral("/org/tessaly/DemoPlayer"),
        QStringLiteral("org.tessaly.DemoPlayer"), QStringLiteral("Burst"));
    call << count << withinMs;
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000).type() ==
           QDBusMessage::ReplyMessage;
}

// Every popup the X server shows, seen through the root window's substructure events: when its
// window was mapped, its height then and each change of it, and when it went. A window that is
// shown again for a later popup starts a popup of its own at each map.
class PopupWatcher {
public:
    struct Popup {
        xcb_window_t window = 0;
        Clock::time_point mapped;
        std::vector<std::pair<Clock::time_point, int>> heights;
        bool gone = false;
    };

    bool Connect()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            return false;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
        notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                      QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
        return true;
    }
    ~PopupWatcher()
    {
        notifier_.reset();
        if (connection_)
            xcb_disconnect(connection_);
    }

    int Open() const
    {
        int open = 0;
        for (const Popup& p : popups_)
            open += !p.gone;
        return open;
    }
    int Shown() const { return static_cast<int>(popups_.size()); }
    const std::vector<Popup>& Popups() const { return popups_; }
    void Forget()
    {
        popups_.clear();
        shown_.clear();
    }

    // The window's pixels on the screen as the server has them (the popup reaches past the right
    // edge of the screen, which GetImage cannot read); null when they cannot be read.
    QImage Grab(xcb_window_t window)
    {
        auto* place = xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const int width = place ? std::min(kPopupWidth, screen->width_in_pixels - place->dst_x) : 0;
        free(place);
        if (width <= 0)
            return {};
        auto* reply =
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              uint16_t(width), kFullHeight, ~0u),
                                nullptr);
        if (!reply)
            return {};
        QImage image;
        if (reply->depth == 24 && xcb_get_image_data_length(reply) == width * kFullHeight * 4)
            image =
                QImage(xcb_get_image_data(reply), width, kFullHeight, QImage::Format_RGB32).copy();
        free(reply);
        return image;
    }

private:
    void Drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const auto now = Clock::now();
            switch (event->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (e->override_redirect && e->width == kPopupWidth)
                    lastHeight_[e->window] = e->height;
                break;
            }
            case XCB_CONFIGURE_NOTIFY: {
                const auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                if (e->override_redirect && e->width == kPopupWidth) {
                    lastHeight_[e->window] = e->height;
                    if (const auto it = shown_.find(e->window); it != shown_.end()) {
                        Popup& p = popups_[it->second];
                        if (p.heights.empty() || p.heights.back().second != e->height)
                            p.heights.emplace_back(now, e->height);
                    }
                }
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (e->override_redirect && Width(e->window) == kPopupWidth) {
                    Popup p;
                    p.window = e->window;
                    p.mapped = now;
                    // The height it is shown at: the start of its rise.
                    if (const auto it = lastHeight_.find(e->window); it != lastHeight_.end())
                        p.heights.emplace_back(now, it->second);
                    shown_[e->window] = popups_.size();
                    popups_.push_back(std::move(p));
                }
                break;
            }
            case XCB_UNMAP_NOTIFY: {
                const auto* e = reinterpret_cast<xcb_unmap_notify_event_t*>(event);
                if (const auto it = shown_.find(e->window); it != shown_.end()) {
                    popups_[it->second].gone = true;
                    shown_.erase(it);
                }
                break;
            }
            case XCB_DESTROY_NOTIFY: {
                const auto* e = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
                if (const auto it = shown_.find(e->window); it != shown_.end()) {
                    popups_[it->second].gone = true;
                    shown_.erase(it);
                }
                lastHeight_.erase(e->window);
                break;
            }
            default:
                break;
            }
            free(event);
        }
    }

    int Width(xcb_window_t window)
    {
        auto* reply =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        const int width = reply ? reply->width : 0;
        free(reply);
        return width;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<Popup> popups_;
    // The popup each mapped window shows, by its index in popups_.
    std::map<xcb_window_t, std::size_t> shown_;
    // Each popup-wide window's height as last created or configured, mapped or not.
    std::map<xcb_window_t, int> lastHeight_;
};

// RssAnon, RssFile and RssShmem in KiB: the heap, the pages of the program and its libraries that
// have been read in, and shared memory.
QString ResidentParts(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    QStringList parts;
    for (const QByteArray& line : status.readAll().split('\n'))
        for (const char* name : {"RssAnon:", "RssFile:", "RssShmem:"})
            if (line.startsWith(name))
                parts << QStringLiteral("%1 %2 MB")
                             .arg(QString::fromLatin1(name).chopped(1).mid(3).toLower())
                             .arg(line.mid(int(std::strlen(name)))
                                          .trimmed()
                                          .split(' ')
                                          .value(0)
                                          .toDouble() /
                                      1024.0,
                                  0, 'f', 1);
    return parts.join(QStringLiteral(", "));
}

void WriteSettings(const QString& home, bool popups)
{
    QDir().mkpath(home + "/config/Tessaly");
    QFile ini(home + "/config/Tessaly/Tessaly.ini");
    ini.open(QIODevice::WriteOnly | QIODevice::Truncate);
    ini.write(popups ? "[Settings]\nBallons=1\n" : "[Settings]\nBallons=0\n");
}

void Stop(QProcess& process)
{
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

// Runs the event loop for that long, reading the tally every 100 ms.
void PumpSampling(int ms, bench::ThreadTally& tally, const std::function<void()>& also = {})
{
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        tally.Sample();
        if (also)
            also();
    });
    sampler.start(100);
    bench::Pump([] { return false; }, ms);
    tally.Sample();
}

struct ChangeCost {
    double cpuMs = 0;       // tessaly, every thread, per change
    double statCpuMs = 0;   // the same from /proc/<pid>/stat (10 ms ticks), per change
    double serverCpuMs = 0; // the X server, per change
    double switches = 0;    // tessaly, every thread, per change
    // tessaly's CPU time of each change alone: its median is steadier than the mean on a machine
    // whose other guests take the processor now and then.
    std::vector<double> cpuMsEach;
    int threadsSeen = 0;
    bool ok = false;
};

struct Motion {
    int rise = 0, sink = 0;
    double medianGapMs = 0, maxGapMs = 0;
    int popups = 0;
};

// Each popup's ticks as height changes, the median over the popups; the gaps between ticks.
Motion MotionOf(const PopupWatcher& watcher)
{
    Motion m;
    std::vector<double> rises, sinks, gaps;
    for (const PopupWatcher::Popup& p : watcher.Popups()) {
        int rise = 0, sink = 0;
        for (size_t i = 1; i < p.heights.size(); ++i) {
            ++(p.heights[i].second > p.heights[i - 1].second ? rise : sink);
            // The hold is no tick.
            const double gap = Ms(p.heights[i].first - p.heights[i - 1].first);
            if (gap < 1000)
                gaps.push_back(gap);
        }
        rises.push_back(rise);
        sinks.push_back(sink);
    }
    m.popups = static_cast<int>(rises.size());
    m.rise = static_cast<int>(bench::Percentile(rises, 0.5));
    m.sink = static_cast<int>(bench::Percentile(sinks, 0.5));
    m.medianGapMs = bench::Percentile(gaps, 0.5);
    m.maxGapMs = bench::Percentile(gaps, 1.0);
    return m;
}

// One tessaly with popups on or off: a first change to warm it up, then kMeasuredChanges changes
// a popup's life apart. With popups on, also the motion, the picture and the memory figures.
ChangeCost MeasureChanges(const QString& home, bool popups, PopupWatcher& watcher)
{
    ChangeCost cost;
    WriteSettings(home, popups);
    CallPlayer("Stop");
    QProcess tessaly;
    tessaly.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tessaly.setStandardOutputFile(QProcess::nullDevice());
    tessaly.start(qEnvironmentVariable("TESSALY_BENCH_PROGRAM", QStringLiteral(TESSALY_PROGRAM)),
                  {});
    if (!tessaly.waitForStarted(5000))
        return cost;
    const qint64 pid = tessaly.processId();
    const qint64 server = bench::XServerPid();
    bench::ThreadTally tally(pid);
    bench::ThreadTally serverTally(server);
    PumpSampling(2500, tally);
    const long residentBefore = bench::ResidentKiB(pid);
    const QString partsBefore = ResidentParts(pid);

    // The first change loads what every later popup shares (pictures, fonts).
    CallPlayer("Play");
    PumpSampling(kPopupLifeMs, tally);
    watcher.Forget();
    const long residentAfterFirst = bench::ResidentKiB(pid);
    const QString partsAfterFirst = ResidentParts(pid);

    tally.Sample();
    serverTally.Sample();
    const double cpu0 = tally.CpuMs(), stat0 = bench::ProcessCpuMs(pid),
                 server0 = serverTally.CpuMs();
    const long long switches0 = tally.Switches();
    for (int i = 0; i < kMeasuredChanges; ++i) {
        tally.Sample();
        const double changeCpu0 = tally.CpuMs();
        CallPlayer("Next");
        bool grabbed = i > 0 || !popups;
        PumpSampling(kPopupLifeMs, tally, [&] {
            serverTally.Sample();
            if (grabbed)
                return;
            for (const PopupWatcher::Popup& p : watcher.Popups()) {
                if (p.gone || p.heights.empty() || p.heights.back().second != kFullHeight ||
                    Ms(Clock::now() - p.heights.back().first) < 300)
                    continue;
                grabbed = true;
                const QImage image = watcher.Grab(p.window);
                if (image.isNull()) {
                    std::printf("popup: its picture could not be read\n");
                    break;
                }
                const QString path = qEnvironmentVariable(
                    "TESSALY_BENCH_SHOT", QDir::tempPath() + "/tessaly-popup-full.png");
                image.save(path);
                const QByteArray digest = QCryptographicHash::hash(
                    QByteArray(reinterpret_cast<const char*>(image.constBits()),
                               image.sizeInBytes()),
                    QCryptographicHash::Md5);
                std::printf("popup: pixels at full height md5 %s (saved to %s)\n",
                            digest.toHex().constData(), qPrintable(path));
                break;
            }
        });
        tally.Sample();
        cost.cpuMsEach.push_back(tally.CpuMs() - changeCpu0);
    }
    serverTally.Sample();
    cost.cpuMs = (tally.CpuMs() - cpu0) / kMeasuredChanges;
    cost.statCpuMs = (bench::ProcessCpuMs(pid) - stat0) / kMeasuredChanges;
    cost.serverCpuMs = (serverTally.CpuMs() - server0) / kMeasuredChanges;
    cost.switches = double(tally.Switches() - switches0) / kMeasuredChanges;
    cost.threadsSeen = tally.ThreadsSeen();
    cost.ok = true;

    if (popups) {
        const Motion m = MotionOf(watcher);
        std::printf("popup: %d shown; height changes per popup (median): rise %d, sink %d, %.1f ms"
                    " apart (median; max %.1f)   target 56 + 55 ticks, 16 ms\n",
                    m.popups, m.rise, m.sink, m.medianGapMs, m.maxGapMs);

        // Memory: changes keep coming, so popups overlap as they would in a busy hour.
        const int changes = EnvInt("TESSALY_BENCH_CHANGES", 1000);
        const int spacing = EnvInt("TESSALY_BENCH_CHANGE_MS", 300);
        watcher.Forget();
        long peak = 0;
        Burst(uint(changes), uint(changes * spacing));
        PumpSampling(changes * spacing + 200, tally,
                     [&] { peak = std::max(peak, bench::ResidentKiB(pid)); });
        bench::Pump([&] { return watcher.Open() == 0; }, 30000);
        PumpSampling(1000, tally);
        const long after = bench::ResidentKiB(pid);
        std::printf("memory: before the popups %.1f MB (%s)\n", double(residentBefore) / 1024.0,
                    qPrintable(partsBefore));
        // What the first popup loads for good (fonts, shared pictures) against what many keep.
        std::printf("memory: after the first popup closed %.1f MB (%s)\n",
                    double(residentAfterFirst) / 1024.0, qPrintable(partsAfterFirst));
        std::printf("memory: %d changes, one per %d ms, %d popups shown: peak %.1f MB"
                    "   target <= 45 MB\n",
                    changes, spacing, watcher.Shown(), double(peak) / 1024.0);
        std::printf("memory: after all closed %.1f MB (%+.1f MB)   target within 3 MB of before\n",
                    double(after) / 1024.0, double(after - residentBefore) / 1024.0);
        std::printf("memory: after all closed (%s)\n", qPrintable(ResidentParts(pid)));
    }
    Stop(tessaly);
    return cost;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!QDBusConnection::sessionBus().isConnected() || qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "popup bench: needs a session bus and an X display (run it under "
                             "dbus-run-session and xvfb-run)\n");
        return 1;
    }
    bench::ScratchHome home;
    PopupWatcher watcher;
    if (!watcher.Connect() || bench::XServerPid() == 0) {
        std::fprintf(stderr, "popup bench: cannot watch the X server\n");
        return 1;
    }
    QProcess player;
    if (!bench::StartAndWait(player, QStringLiteral(DEMO_PLAYER), {QStringLiteral("--stopped")}, {},
                             5000))
        return 1;
    bench::Pump([] { return false; }, 500);

    const ChangeCost off = MeasureChanges(home.path(), false, watcher);
    const ChangeCost on = MeasureChanges(home.path(), true, watcher);
    if (!off.ok || !on.ok) {
        std::fprintf(stderr, "popup bench: tessaly did not start\n");
        return 1;
    }
    const auto row = [](const char* what, const ChangeCost& c) {
        std::printf("%-36s tessaly %7.1f ms CPU (stat %6.1f), %7.1f switches; X server %6.1f ms"
                    "\n",
                    what, c.cpuMs, c.statCpuMs, c.switches, c.serverCpuMs);
    };
    std::printf("per track change, averaged over %d, every thread of tessaly (%d seen):\n",
                kMeasuredChanges, on.threadsSeen);
    row("  popups off", off);
    row("  popups on", on);
    std::printf("popup life (on - off): %.1f ms CPU in tessaly + %.1f ms in the X server"
                "   target <= 20 ms in tessaly\n",
                on.cpuMs - off.cpuMs, on.serverCpuMs - off.serverCpuMs);
    std::printf("popup life (on - off), medians of the changes: %.1f ms CPU in tessaly\n",
                bench::Percentile(on.cpuMsEach, 0.5) - bench::Percentile(off.cpuMsEach, 0.5));
    std::printf("popup life (on - off): %.0f context switches   target <= 400\n",
                on.switches - off.switches);
    std::fflush(stdout);
    Stop(player);
    return 0;
}
