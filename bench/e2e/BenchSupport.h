#pragma once

// Small pieces the end-to-end benchmarks share: a throw-away home, child processes that announce
// readiness on a line, percentiles and /proc readings.

#include "support/ProcStatus.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// HOME, XDG_CONFIG_HOME and XDG_DATA_HOME inside a temporary folder for this run.
class ScratchHome {
public:
    ScratchHome();
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Starts a program and waits (event loop running) until a line of its output starts with
// `readyLine`; empty readyLine waits only for the start.
bool StartAndWait(QProcess& process, const QString& program, const QStringList& arguments,
                  const QByteArray& readyLine, int timeoutMs);

// Runs the event loop until done() or the time is up.
bool Pump(const std::function<bool()>& done, int timeoutMs);

// One method call on the session bus, waited for (5 s at most); true when it was answered.
bool Call(const char* service, const char* path, const char* interface, const char* method,
          const QVariantList& arguments = {});
// One method of the demo player's org.mpris.MediaPlayer2.Player, waited for (5 s at most).
bool CallPlayer(const char* method);

double Percentile(std::vector<double> values, double fraction);
// One line: median, p99 and max, and the target when given.
void PrintFigure(const char* name, const std::vector<double>& valuesMs,
                 const char* target = nullptr);

using tessaly::test::ResidentKiB;
// A process's own account of itself over all its threads, those that ended included.
struct Usage {
    long long voluntary = 0;   // context switches where a thread slept: its wake-ups
    long long involuntary = 0; // preemptions, which a loaded machine adds
    long long cpuUs = 0;       // user and system time
};

// Wake-ups between two readings of the probe, less the one the later reading itself caused.
inline long long WakeupsBetween(const Usage& before, const Usage& after)
{
    return after.voluntary - before.voluntary - 1;
}

// Reads Usage from a program started with the RusageProbe library preloaded: one probe, with a
// file of its own, per program measured.
class UsageProbe {
public:
    UsageProbe();
    // Preloads the probe into a program started with env.
    void prepare(QProcessEnvironment& env) const;
    // Signals the process and waits up to a second for its answer.
    std::optional<Usage> read(qint64 pid) const;

private:
    QTemporaryDir dir_;
    QString file_;
};

} // namespace bench

namespace bench {

// A process the benchmark does not start itself (the X server) cannot carry the probe: it is read
// from outside instead.
// CPU time and context switches of every thread of a process, the ended ones included: each
// reading adds the threads alive now to what earlier readings kept of threads that have ended
// since. Read it often (Pump with Sample every 100 ms or so) so an ending thread loses little.
class ThreadTally {
public:
    explicit ThreadTally(qint64 pid) : pid_(pid) {}
    void Sample();
    // Since the process started, over every thread seen.
    double CpuMs() const;
    long long Switches() const;
    int ThreadsSeen() const { return static_cast<int>(threads_.size()); }

private:
    struct Thread {
        long long cpuNs = 0;
        long long switches = 0;
    };
    qint64 pid_;
    std::map<QString, Thread> threads_;
};

// The whole process's user plus system CPU time from /proc/<pid>/stat, ended threads included,
// in milliseconds (clock-tick resolution: 10 ms).
double ProcessCpuMs(qint64 pid);

// The X server of $DISPLAY, from its lock file; 0 when it cannot be found.
qint64 XServerPid();

} // namespace bench
