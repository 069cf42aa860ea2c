#include "ProgramUnderTest.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>

namespace tessaly::test {
namespace {

const QString kPlayerService = QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo");
const QString kControlService = QStringLiteral("org.tessaly.DemoPlayer");

} // namespace

ProgramUnderTest::ProgramUnderTest(const QString& driver, const char* user)
    : connection_(bus_.connect(driver)), user_(user)
{}

ProgramUnderTest::~ProgramUnderTest()
{
    // tessaly first, so that it never sees its peers vanish during its own shutdown.
    tessaly_.reset();
    player_.reset();
    messenger_.reset();
}

bool ProgramUnderTest::startMessenger(const QStringList& extraArguments)
{
    messenger_ = std::make_unique<ChildProcess>(QStringLiteral("messenger"));
    return messenger_->start(QStringLiteral(MESSENGER_STANDIN),
                             QStringList{QStringLiteral("--user"), QString::fromLatin1(user_)} +
                                 extraArguments) &&
           messenger_->waitForOutputLine([](const QString& l) { return l == "ready"; }, 10000);
}

bool ProgramUnderTest::startPlayer(const QStringList& arguments)
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

bool ProgramUnderTest::startTessaly(const QString& program, const QStringList& environment)
{
    tessaly_ = std::make_unique<ChildProcess>(QStringLiteral("tessaly"));
    if (!tessaly_->start(program, {}, environment))
        return false;
    // Its bus connection is the first step of its start-up; the rest follows in one go.
    const uint pid = uint(tessaly_->pid());
    const bool connected = WaitUntil(
        [&] {
            for (const QString& name : connection_.interface()->registeredServiceNames().value())
                if (name.startsWith(':') &&
                    connection_.interface()->servicePid(name).value() == pid)
                    return true;
            return false;
        },
        10000);
    WaitUntil([] { return false; }, 500);
    return connected && tessaly_->isRunning();
}

bool ProgramUnderTest::call(const QString& service, const QString& path, const QString& interface,
                            const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return connection_.call(message, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

bool ProgramUnderTest::playerCall(const QString& method, const QVariantList& arguments)
{
    return call(kPlayerService, QStringLiteral("/org/mpris/MediaPlayer2"),
                QStringLiteral("org.mpris.MediaPlayer2.Player"), method, arguments);
}

bool ProgramUnderTest::controlCall(const QString& method, const QVariantList& arguments)
{
    return call(kControlService, QStringLiteral("/org/tessaly/DemoPlayer"), kControlService, method,
                arguments);
}

QStringList ProgramUnderTest::statuses() const
{
    QStringList result;
    if (messenger_)
        for (const QString& line : messenger_->outputLines())
            if (line.startsWith(QLatin1String("status: ")))
                result << line.mid(8);
    return result;
}

bool ProgramUnderTest::waitForStatusAfter(qsizetype count, int timeoutMs)
{
    return WaitUntil([&] { return statuses().size() > count; }, timeoutMs);
}

QString ProgramUnderTest::lastStatus() const
{
    const QStringList all = statuses();
    return all.isEmpty() ? QString() : all.last();
}

QString ProgramUnderTest::registryStatus()
{
    QProcess reg;
    reg.start(QStringLiteral(TESSALY_REG),
              {QStringLiteral("query"),
               QStringLiteral("HKCU\\Software\\Yahoo\\Pager\\profiles\\%1\\Custom Msgs")
                   .arg(QString::fromLatin1(user_)),
               QStringLiteral("/v"), QStringLiteral("1")});
    reg.waitForFinished(10000);
    // reg.exe's form: "    1    REG_SZ    <data>"
    for (const QString& line : QString::fromUtf8(reg.readAllStandardOutput()).split('\n')) {
        const qsizetype type = line.indexOf(QLatin1String("REG_SZ"));
        if (type >= 0)
            return line.mid(type + 6).trimmed();
    }
    return {};
}

} // namespace tessaly::test
