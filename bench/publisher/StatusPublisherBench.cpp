// The cost of one SetYahooStatus with the Messenger answering: read the user id, write the
// custom message, find the window and wait for both commands to be handled. Needs a session bus.

#include "publisher/linux/DBusWindowMessages.h"
#include "publisher/linux/LinuxStatusPublisher.h"
#include "publisher/linux/LocaleCodePage.h"
#include "publisher/linux/SqliteRegistry.h"
#include "publisher/Yahoo.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <vector>

namespace {

tessaly::StatusPublisher* publisher = nullptr;
std::vector<double> samplesUs;

void BM_SetYahooStatusRoundTrip(benchmark::State& state)
{
    const std::u16string texts[] = {u"Album: Artist - Title", u"Bj\u00F6rk: J\u00F3ga \u266B"};
    std::size_t n = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        publisher->SetYahooStatus(texts[n++ % 2]);
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        samplesUs.push_back(took.count());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SetYahooStatusRoundTrip)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// The registry half alone: what a refresh costs when no Messenger runs.
void BM_RegistryWriteThenRead(benchmark::State& state)
{
    tessaly::SqliteRegistry registry;
    tessaly::LocaleCodePage ansi;
    const tessaly::RegistryText text(registry, ansi);
    const std::u16string key = tessaly::yahoo::CustomMessagesKey(u"bench");
    for (auto _ : state) {
        text.SetRegString(tessaly::kHkeyCurrentUser, key, u"1", u"Album: Artist - Title");
        benchmark::DoNotOptimize(text.GetRegString(tessaly::kHkeyCurrentUser, key, u"1"));
    }
}
BENCHMARK(BM_RegistryWriteThenRead)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// One synchronous window message that the stand-in answers without work: the bus's share.
void BM_SendMessageRoundTrip(benchmark::State& state)
{
    tessaly::DBusWindowMessages windows(QDBusConnection::sessionBus());
    const tessaly::WindowHandle window =
        windows.FindWindowA(tessaly::yahoo::kMainWindowClass, nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            windows.SendMessageTimeoutA(window, 0, 0, 0, tessaly::yahoo::kSendTimeLimit));
}
BENCHMARK(BM_SendMessageRoundTrip)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fputs("needs a D-Bus session bus (run under dbus-run-session)\n", stderr);
        return 1;
    }
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());

    QProcess standIn;
    standIn.setStandardOutputFile(home.filePath(QStringLiteral("standin.out")));
    standIn.start(QStringLiteral(MESSENGER_STANDIN),
                  {QStringLiteral("--user"), QStringLiteral("bench")});
    tessaly::DBusWindowMessages windows(bus);
    QDeadlineTimer deadline(10000);
    while (windows.FindWindowA(tessaly::yahoo::kMainWindowClass, nullptr).isNull()) {
        if (deadline.hasExpired()) {
            std::fputs("the Messenger stand-in did not come up\n", stderr);
            return 1;
        }
        QThread::msleep(10);
    }

    auto owned = CreateLinuxStatusPublisher(bus);
    publisher = owned.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    standIn.terminate();
    standIn.waitForFinished(3000);
    QFile out(home.filePath(QStringLiteral("standin.out")));
    out.open(QIODevice::ReadOnly);
    const QByteArray lines = out.readAll();
    const auto taken = std::count(lines.cbegin(), lines.cend(), '\n') - 1; // less "ready"
    if (!samplesUs.empty())
        std::printf("SetYahooStatus round trip: %zu calls, median %.0f us, p99 %.0f us, "
                    "max %.0f us\n",
                    samplesUs.size(), percentile(samplesUs, 0.5), percentile(samplesUs, 0.99),
                    *std::max_element(samplesUs.begin(), samplesUs.end()));
    std::printf("the stand-in took up %lld statuses\n", static_cast<long long>(taken));
    return 0;
}
