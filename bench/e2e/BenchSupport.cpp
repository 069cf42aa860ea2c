#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace bench {

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
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
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

void PrintFigure(const char* name, const std::vector<double>& valuesMs)
{
    std::printf("%-44s n=%-4zu median %8.3f ms   p99 %8.3f ms   max %8.3f ms\n", name,
                valuesMs.size(), Percentile(valuesMs, 0.5), Percentile(valuesMs, 0.99),
                Percentile(valuesMs, 1.0));
    std::fflush(stdout);
}

std::map<QString, long long> ContextSwitches(qint64 pid)
{
    std::map<QString, long long> perThread;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks + "/" + task + "/status");
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                perThread[task] += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return perThread;
}

long long WakeupsBetween(const std::map<QString, long long>& before,
                         const std::map<QString, long long>& after)
{
    long long total = 0;
    for (const auto& [thread, count] : after) {
        const auto earlier = before.find(thread);
        if (earlier != before.end())
            total += count - earlier->second;
    }
    return total;
}

} // namespace bench
