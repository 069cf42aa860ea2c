#include "WarningLog.h"

#include <QElapsedTimer>

namespace tessaly::test {

WarningLog::WarningLog() : previous_(qInstallMessageHandler(&WarningLog::handle))
{
    current() = this;
}

WarningLog::~WarningLog()
{
    qInstallMessageHandler(previous_);
    current() = nullptr;
}

QStringList WarningLog::lines() const
{
    const std::lock_guard lock(mutex_);
    return lines_;
}

WarningLog*& WarningLog::current()
{
    static WarningLog* log = nullptr;
    return log;
}

void WarningLog::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (WarningLog* log = current(); log && type >= QtWarningMsg) {
        const std::lock_guard lock(log->mutex_);
        log->lines_ << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
    }
}

qint64 ElapsedMs(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.elapsed();
}

} // namespace tessaly::test
