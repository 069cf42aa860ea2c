#include "E2eSystem.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tessaly::test {

namespace {
const QString kPlayerService = QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo");
} // namespace

E2eSystem::E2eSystem() : ProgramUnderTest(QStringLiteral("e2e-driver"), kE2eUser) {}

E2eSystem::~E2eSystem()
{
    // tessaly first, so that it never sees its peers vanish during its own shutdown.
    locker_.reset();
    tessaly_.reset();
    hostile_.reset();
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
    return ProgramUnderTest::startTessaly(program, environment);
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

bool E2eSystem::lockRegistry()
{
    locker_ = std::make_unique<ChildProcess>(QStringLiteral("sqlite3"));
    return locker_->start(QStringLiteral("sh"),
                          {QStringLiteral("-c"),
                           QStringLiteral("(echo 'BEGIN EXCLUSIVE;'; echo 'SELECT 1;'; sleep 6; "
                                          "echo 'ROLLBACK;') | sqlite3 '%1'")
                               .arg(registryPath())}) &&
           locker_->waitForOutputLine([](const QString& l) { return l == "1"; }, 5000);
}

} // namespace tessaly::test
