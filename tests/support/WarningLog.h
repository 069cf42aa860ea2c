#pragma once

// Collects the warnings logged while it lives, each as "category: message".

#include <functional>
#include <mutex>
#include <QStringList>
#include <QtGlobal>

namespace tessaly::test {

class WarningLog {
public:
    WarningLog();
    ~WarningLog();

    QStringList lines() const;

private:
    static WarningLog*& current();
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler previous_;
    mutable std::mutex mutex_;
    QStringList lines_;
};

// How long `run` takes, in milliseconds.
qint64 ElapsedMs(const std::function<void()>& run);

} // namespace tessaly::test
