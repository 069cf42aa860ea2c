#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <signal.h>
#include <unistd.h>

namespace bench {

bool Call(const char* service, const char* path, const char* interface, const char* method,
          const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(service), QString::fromLatin1(path),
                                       QString::fromLatin1(interface), QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000).type() ==
           QDBusMessage::ReplyMessage;
}

bool CallPlayer(const char* method)
{
    return Call("org.mpris.MediaPlayer2.tessaly_demo", "/org/mpris/MediaPlayer2",
                "org.mpris.MediaPlayer2.Player", method);
}

ScratchHome::ScratchHome()
{
    const QString base = dir_.path();
    QDir().mkpath(base + "/config");
    QDir().mkpath(base + "/data");
    qputenv("HOME", base.toUtf8());
    qputenv("XDG_CONFIG_HOME", (base + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (base + "/data").toUtf8());
}

bool Pump(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // processEvents with a time limit does not wait for events: it would spin a core, which the
    // programs measured beside it then lack. Wait for the next event instead; the tick bounds the
    // wait for conditions that no event of this thread announces.
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool StartAndWait(QProcess& process, const QString& program, const QStringList& arguments,
                  const QByteArray& readyLine, int timeoutMs)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return false;
    if (readyLine.isEmpty())
        return true;
    QByteArray seen;
    return Pump(
        [&] {
            seen += process.readAllStandardOutput();
            return seen.startsWith(readyLine) || seen.contains(QByteArray("\n" + readyLine));
        },
        timeoutMs);
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(fraction * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void PrintFigure(const char* name, const std::vector<double>& valuesMs, const char* target)
{
    std::printf("%-52s n=%-4zu median %8.3f ms   p99 %8.3f ms   max %8.3f ms%s%s\n", name,
                valuesMs.size(), Percentile(valuesMs, 0.5), Percentile(valuesMs, 0.99),
                Percentile(valuesMs, 1.0), target ? "   target " : "", target ? target : "");
    std::fflush(stdout);
}

} // namespace bench

namespace bench {

UsageProbe::UsageProbe() : file_(dir_.filePath(QStringLiteral("usage"))) {}

void UsageProbe::prepare(QProcessEnvironment& env) const
{
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(RUSAGE_PROBE));
    env.insert(QStringLiteral("TESSALY_BENCH_RUSAGE"), file_);
}

std::optional<Usage> UsageProbe::read(qint64 pid) const
{
    QFile file(file_);
    const qint64 before = file.exists() ? file.size() : 0;
    if (pid <= 0 || ::kill(pid_t(pid), SIGUSR2) != 0)
        return std::nullopt;
    QByteArray answer;
    const bool answered = Pump(
        [&] {
            QFile now(file_);
            if (!now.open(QIODevice::ReadOnly) || now.size() <= before)
                return false;
            now.seek(before);
            answer = now.readAll();
            return answer.endsWith('\n');
        },
        1000);
    if (!answered)
        return std::nullopt;
    const QList<QByteArray> fields = answer.trimmed().split('\n').constLast().split(' ');
    if (fields.size() < 4)
        return std::nullopt;
    return Usage{fields[0].toLongLong(), fields[1].toLongLong(),
                 fields[2].toLongLong() + fields[3].toLongLong()};
}

namespace {

QByteArray ReadProcFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void ThreadTally::Sample()
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid_);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        // schedstat: nanoseconds on the CPU, nanoseconds waiting, time slices.
        const QByteArray sched = ReadProcFile(tasks + "/" + task + "/schedstat");
        const QByteArray status = ReadProcFile(tasks + "/" + task + "/status");
        if (sched.isEmpty() || status.isEmpty())
            continue; // ended between the listing and the reading
        Thread reading;
        reading.cpuNs = sched.split(' ').value(0).toLongLong();
        for (const QByteArray& line : status.split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                reading.switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        // A thread id reused by a new thread starts lower: keep both lives.
        Thread& kept = threads_[task];
        if (reading.cpuNs < kept.cpuNs || reading.switches < kept.switches) {
            threads_[task + QStringLiteral("+") + QString::number(threads_.size())] = kept;
            kept = Thread{};
        }
        kept = reading;
    }
}

double ThreadTally::CpuMs() const
{
    long long ns = 0;
    for (const auto& [id, t] : threads_)
        ns += t.cpuNs;
    return double(ns) / 1e6;
}

long long ThreadTally::Switches() const
{
    long long total = 0;
    for (const auto& [id, t] : threads_)
        total += t.switches;
    return total;
}

double ProcessCpuMs(qint64 pid)
{
    const QByteArray stat = ReadProcFile(QStringLiteral("/proc/%1/stat").arg(pid));
    // The command name may hold spaces; the fields after it are fixed: utime is the 14th field,
    // the 12th after the closing parenthesis.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const long ticks = sysconf(_SC_CLK_TCK);
    return double(fields[11].toLongLong() + fields[12].toLongLong()) * 1000.0 / double(ticks);
}

qint64 XServerPid()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.indexOf(':');
    if (colon < 0)
        return 0;
    const QByteArray number = display.mid(colon + 1).split('.').value(0);
    return ReadProcFile(QStringLiteral("/tmp/.X%1-lock").arg(QString::fromLatin1(number)))
        .trimmed()
        .toLongLong();
}

} // namespace bench
