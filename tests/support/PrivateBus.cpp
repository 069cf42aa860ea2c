#include "support/PrivateBus.h"

#include <QDeadlineTimer>

namespace tessaly::test {

PrivateBus::PrivateBus() : previousAddress_(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    daemon_.setProcessChannelMode(QProcess::SeparateChannels);
    daemon_.start();
    if (!daemon_.waitForStarted(5000))
        return;
    QDeadlineTimer deadline(5000);
    QByteArray line;
    while (!line.contains('\n') && !deadline.hasExpired()) {
        daemon_.waitForReadyRead(int(deadline.remainingTime()));
        line += daemon_.readAllStandardOutput();
    }
    address_ = QString::fromUtf8(line.trimmed());
    if (!address_.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
}

PrivateBus::~PrivateBus()
{
    for (const QString& name : connectionNames_)
        QDBusConnection::disconnectFromBus(name);
    if (previousAddress_.isEmpty())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", previousAddress_);
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(2000)) {
            daemon_.kill();
            daemon_.waitForFinished(2000);
        }
    }
}

QDBusConnection PrivateBus::connect(const QString& connectionName)
{
    connectionNames_ << connectionName;
    return QDBusConnection::connectToBus(address_, connectionName);
}

} // namespace tessaly::test
