#pragma once

// A real child process for end-to-end tests: its output is collected line by line while the test
// waits in an event loop, so that the test's own D-Bus objects and timers keep working.

#include <functional>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tessaly::test {

class ChildProcess {
public:
    explicit ChildProcess(QString name);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with the current environment plus extra (NAME=value entries).
    bool start(const QString& program, const QStringList& arguments,
               const QStringList& extraEnvironment = {});
    bool isRunning() const { return process_.state() == QProcess::Running; }
    qint64 pid() const { return process_.processId(); }

    // Waits until a line of standard output (or standard error) satisfies the predicate.
    bool waitForOutputLine(const std::function<bool(const QString&)>& matches, int timeoutMs);
    bool waitForErrorLine(const std::function<bool(const QString&)>& matches, int timeoutMs);
    // Waits until the process has ended; true when it did within the time.
    bool waitForExit(int timeoutMs);

    QStringList outputLines() const { return outputLines_; }
    QStringList errorLines() const { return errorLines_; }
    int exitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }

    void terminate();
    void kill(); // SIGKILL, as a crash would

private:
    void collect(QProcess::ProcessChannel channel);
    bool waitFor(const QStringList& lines, const std::function<bool(const QString&)>& matches,
                 int timeoutMs);

    QString name_;
    QProcess process_;
    QStringList outputLines_;
    QStringList errorLines_;
    QByteArray outputRest_;
    QByteArray errorRest_;
};

// Runs the event loop until the condition holds or the time is up; answers the condition.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

} // namespace tessaly::test
