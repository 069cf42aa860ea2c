#include "support/PrivateBus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

namespace tessaly::test {

namespace {

// A session bus whose socket and policy let every local user in; nothing but the tests uses it.
constexpr char kEveryUserConfig[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateBus::PrivateBus(Admits admits) : previousAddress_(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
{
    QString config = QStringLiteral("--session");
    if (admits == Admits::EveryUser) {
        configDir_ = std::make_unique<QTemporaryDir>();
        QFile file(configDir_->filePath(QStringLiteral("bus.conf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(kEveryUserConfig) < 0)
            return;
        config = QStringLiteral("--config-file=") + file.fileName();
    }
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({config, QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                          QStringLiteral("--print-address=1")});
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

void PrivateBus::kill()
{
    daemon_.kill();
    daemon_.waitForFinished(2000);
}

QDBusConnection PrivateBus::connect(const QString& connectionName)
{
    connectionNames_ << connectionName;
    return QDBusConnection::connectToBus(address_, connectionName);
}

} // namespace tessaly::test
