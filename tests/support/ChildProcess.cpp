#include "support/ChildProcess.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace tessaly::test {

ChildProcess::ChildProcess(QString name) : name_(std::move(name))
{
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_,
                     [this] { collect(QProcess::StandardOutput); });
    QObject::connect(&process_, &QProcess::readyReadStandardError, &process_,
                     [this] { collect(QProcess::StandardError); });
}

ChildProcess::~ChildProcess()
{
    if (isRunning()) {
        terminate();
        if (!waitForExit(3000))
            kill();
    }
    // What a child said is the first thing to read when a test fails.
    if (!errorLines_.isEmpty() && qEnvironmentVariableIsSet("TESSALY_TEST_VERBOSE"))
        std::fprintf(stderr, "--- %s stderr:\n%s\n", qPrintable(name_),
                     qPrintable(errorLines_.join('\n')));
}

bool ChildProcess::start(const QString& program, const QStringList& arguments,
                         const QStringList& extraEnvironment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : extraEnvironment) {
        const qsizetype eq = entry.indexOf('=');
        if (eq > 0)
            env.insert(entry.left(eq), entry.mid(eq + 1));
        else
            env.remove(entry);
    }
    process_.setProcessEnvironment(env);
    process_.start(program, arguments);
    return process_.waitForStarted(5000);
}

void ChildProcess::collect(QProcess::ProcessChannel channel)
{
    const bool out = channel == QProcess::StandardOutput;
    QByteArray& rest = out ? outputRest_ : errorRest_;
    QStringList& lines = out ? outputLines_ : errorLines_;
    rest += out ? process_.readAllStandardOutput() : process_.readAllStandardError();
    qsizetype newline;
    while ((newline = rest.indexOf('\n')) >= 0) {
        lines << QString::fromUtf8(rest.left(newline));
        rest.remove(0, newline + 1);
    }
}

bool ChildProcess::waitFor(const QStringList& lines,
                           const std::function<bool(const QString&)>& matches, int timeoutMs)
{
    qsizetype checked = 0;
    return WaitUntil(
        [&] {
            for (; checked < lines.size(); ++checked)
                if (matches(lines.at(checked)))
                    return true;
            return false;
        },
        timeoutMs);
}

bool ChildProcess::waitForOutputLine(const std::function<bool(const QString&)>& matches,
                                     int timeoutMs)
{
    return waitFor(outputLines_, matches, timeoutMs);
}

bool ChildProcess::waitForErrorLine(const std::function<bool(const QString&)>& matches,
                                    int timeoutMs)
{
    return waitFor(errorLines_, matches, timeoutMs);
}

bool ChildProcess::waitForExit(int timeoutMs)
{
    return WaitUntil([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs);
}

void ChildProcess::terminate()
{
    process_.terminate();
}

void ChildProcess::kill()
{
    process_.kill();
    process_.waitForFinished(3000);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        // Short slices: the condition is often a line that a child has just written.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

} // namespace tessaly::test
