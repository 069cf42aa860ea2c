#pragma once

// Small pieces the end-to-end benchmarks share: a throw-away home, child processes that announce
// readiness on a line, percentiles and /proc readings.

#include "support/ProcStatus.h"

#include <chrono>
#include <functional>
#include <map>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
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

double Percentile(std::vector<double> values, double fraction);
void PrintFigure(const char* name, const std::vector<double>& valuesMs);

using tessaly::test::ResidentKiB;
// Voluntary plus involuntary context switches of each thread (by thread id): each is a wake-up.
std::map<QString, long long> ContextSwitches(qint64 pid);
// Wake-ups between two readings, over the threads that lived through both.
long long WakeupsBetween(const std::map<QString, long long>& before,
                         const std::map<QString, long long>& after);

} // namespace bench
