#include "E2eSystem.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace tessaly::test {

namespace {
const QString kPlayerService = QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo");
const QString kControlService = QStringLiteral("org.tessaly.DemoPlayer");
} // namespace

E2eSystem::E2eSystem() : connection_(bus_.connect(QStringLiteral("e2e-driver"))) {}

E2eSystem::~E2eSystem()
{
    // tessaly first, so that it never sees its peers vanish during its own shutdown.
    tessaly_.reset();
    hostile_.reset();
    player_.reset();
    messenger_.reset();
}

bool E2eSystem::startMessenger(const QStringList& extraArguments)
{
    messenger_ = std::make_unique<ChildProcess>(QStringLiteral("messenger"));
    if (!messenger_->start(QStringLiteral(MESSENGER_STANDIN),
                           QStringList{QStringLiteral("--user"), QString::fromLatin1(kE2eUser)} +
                               extraArguments))
        return false;
    return messenger_->waitForOutputLine([](const QString& l) { return l == "ready"; }, 10000);
}

bool E2eSystem::startPlayer(const QStringList& arguments)
{
    player_ = std::make_unique<ChildProcess>(QStringLiteral("player"));
    if (!player_->start(QStringLiteral(DEMO_PLAYER), arguments))
        return false;
    return WaitUntil(
        [this] {
            return connection_.interface()->isServiceRegistered(kPlayerService).value() &&
                   connection_.interface()->isServiceRegistered(kControlService).value();
        },
        10000);
}

bool E2eSystem::startHostile(const QString& name)
{
    hostileName_ = name;
    hostile_ = std::make_unique<ChildProcess>(QStringLiteral("hostile"));
    if (!hostile_->start(QStringLiteral(HOSTILE_PLAYER), {QStringLiteral("--name"), name}))
        return false;
    return hostile_->waitForOutputLine([](const QString& l) { return l == "ready"; }, 10000);
}

QDBusMessage E2eSystem::hostileCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.tessaly.HostilePlayer.") + hostileName_,
                                       QStringLiteral("/org/tessaly/HostilePlayer"),
                                       QStringLiteral("org.tessaly.HostilePlayer"), method);
    call.setArguments(arguments);
    return connection_.call(call, QDBus::Block, 5000);
}

int E2eSystem::probeMs(int timeoutMs)
{
    if (hostileCall(QStringLiteral("Probe")).type() != QDBusMessage::ReplyMessage)
        return -1;
    int result = -1;
    WaitUntil(
        [&] {
            const QDBusMessage reply = hostileCall(QStringLiteral("ProbeResult"));
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                result = reply.arguments().constFirst().toInt();
            return result >= 0;
        },
        timeoutMs);
    return result;
}

bool E2eSystem::startTessaly(const QStringList& extraEnvironment)
{
    tessaly_ = std::make_unique<ChildProcess>(QStringLiteral("tessaly"));
    // A sanitizer build keeps freed memory in quarantine; keep it small so memory figures mean
    // what they say.
    const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
    QStringList environment = {QStringLiteral("ASAN_OPTIONS=") + asan +
                               (asan.isEmpty() ? "" : ":") +
                               QStringLiteral("quarantine_size_mb=4")};
    environment += extraEnvironment;
    // Another build of the program may stand in, to measure a figure before a change.
    const QString program =
        qEnvironmentVariable("TESSALY_E2E_PROGRAM", QStringLiteral(TESSALY_PROGRAM));
    if (!tessaly_->start(program, {}, environment))
        return false;
    // Its bus connection is the first step of its start-up; the rest follows in one go.
    const qint64 pid = tessaly_->pid();
    const bool connected = WaitUntil(
        [&] {
            const QStringList names = connection_.interface()->registeredServiceNames().value();
            for (const QString& name : names)
                if (name.startsWith(':') &&
                    connection_.interface()->servicePid(name).value() == uint(pid))
                    return true;
            return false;
        },
        10000);
    WaitUntil([] { return false; }, 500);
    return connected && tessaly_->isRunning();
}

bool E2eSystem::playerCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPlayerService, QStringLiteral("/org/mpris/MediaPlayer2"),
                                       QStringLiteral("org.mpris.MediaPlayer2.Player"), method);
    call.setArguments(arguments);
    return connection_.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

bool E2eSystem::controlCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kControlService, QStringLiteral("/org/tessaly/DemoPlayer"), kControlService, method);
    call.setArguments(arguments);
    return connection_.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

QVariantMap E2eSystem::playerMetadata()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPlayerService, QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call.setArguments(
        {QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Metadata")});
    QDBusReply<QDBusVariant> reply = connection_.call(call, QDBus::Block, 5000);
    if (!reply.isValid())
        return {};
    return qdbus_cast<QVariantMap>(reply.value().variant());
}

QStringList E2eSystem::statuses() const
{
    QStringList result;
    if (!messenger_)
        return result;
    for (const QString& line : messenger_->outputLines())
        if (line.startsWith(QLatin1String("status: ")))
            result << line.mid(8);
    return result;
}

bool E2eSystem::waitForStatusAfter(qsizetype count, int timeoutMs)
{
    return WaitUntil([&] { return statuses().size() > count; }, timeoutMs);
}

QString E2eSystem::lastStatus() const
{
    const QStringList all = statuses();
    return all.isEmpty() ? QString() : all.last();
}

QString E2eSystem::registryStatus()
{
    QProcess reg;
    reg.start(QStringLiteral(TESSALY_REG),
              {QStringLiteral("query"),
               QStringLiteral("HKCU\\Software\\Yahoo\\Pager\\profiles\\%1\\Custom Msgs")
                   .arg(QString::fromLatin1(kE2eUser)),
               QStringLiteral("/v"), QStringLiteral("1")});
    reg.waitForFinished(10000);
    // reg.exe style: "    1    REG_SZ    <data>"
    for (const QString& line : QString::fromUtf8(reg.readAllStandardOutput()).split('\n')) {
        const qsizetype type = line.indexOf(QLatin1String("REG_SZ"));
        if (type >= 0)
            return line.mid(type + 6).trimmed();
    }
    return {};
}

QString E2eSystem::registryPath() const
{
    return home_.dataHome() + QStringLiteral("/tessaly/registry/HKEY_CURRENT_USER.sqlite3");
}

QString E2eSystem::settingsPath() const
{
    return home_.configHome() + QStringLiteral("/Tessaly/Tessaly.ini");
}

QString E2eSystem::programFolder() const
{
    return home_.dataHome() + QStringLiteral("/Tessaly");
}

void E2eSystem::writeSettings(const QString& iniText) const
{
    QDir().mkpath(QFileInfo(settingsPath()).path());
    QFile file(settingsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(iniText.toUtf8());
}

} // namespace tessaly::test
