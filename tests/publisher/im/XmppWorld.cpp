#include "XmppWorld.h"

#include "publisher/linux/PidginStatus.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <QDBusMessage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <sys/socket.h>
#include <unistd.h>

namespace tessaly::test {
namespace {

constexpr char kAlice[] = "alice@localhost";

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port on 127.0.0.1 that nothing listens on now (the kernel's pick).
int FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

bool Accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    const bool accepted =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return accepted;
}

std::chrono::steady_clock::time_point SteadyFromSeconds(double seconds)
{
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds)));
}

} // namespace

XmppWorld::XmppWorld() : port_(FreeLoopbackPort()) {}

XmppWorld::~XmppWorld()
{
    pidgin_.reset();
    watcher_.reset();
    server_.reset();
    xvfb_.reset();
    if (bus_)
        QDBusConnection::disconnectFromBus(busName_);
}

bool XmppWorld::fail(const QString& why)
{
    why_ = why;
    return false;
}

bool XmppWorld::start()
{
    if (!dir_.isValid() || port_ == 0)
        return fail(QStringLiteral("no folder or no free port"));
    const int prepared =
        QProcess::execute(QStringLiteral(XMPP_WORLD),
                          {QStringLiteral("prepare"), dir_.path(), QString::number(port_)});
    if (prepared != 0)
        return fail(QStringLiteral("xmpp-world prepare failed"));

    server_ = std::make_unique<ChildProcess>(QStringLiteral("prosody"));
    if (!server_->start(QStringLiteral(XMPP_WORLD), {QStringLiteral("server"), dir_.path()}) ||
        !WaitUntil([this] { return !server_->isRunning() || Accepts(port_); }, 15000) ||
        !server_->isRunning())
        return fail(QStringLiteral("Prosody did not come up: ") +
                    (server_->outputLines() + server_->errorLines()).join('\n'));

    xvfb_ = std::make_unique<ChildProcess>(QStringLiteral("xvfb"));
    if (!xvfb_->start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1024x768x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")}) ||
        !xvfb_->waitForOutputLine([](const QString& line) { return !line.trimmed().isEmpty(); },
                                  10000))
        return fail(QStringLiteral("Xvfb did not start"));
    display_ = xvfb_->outputLines().constFirst().trimmed();

    watcher_ = std::make_unique<ChildProcess>(QStringLiteral("watcher"));
    if (!watcher_->start(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral(PRESENCE_WATCHER), QStringLiteral("--jid"),
                          QStringLiteral("bob@localhost"), QStringLiteral("--password"),
                          QStringLiteral("tessaly"), QStringLiteral("--port"),
                          QString::number(port_)}) ||
        !watcher_->waitForOutputLine([](const QString& line) { return line == "ready"; }, 15000))
        return fail(QStringLiteral("the watching contact did not sign in: ") +
                    watcher_->errorLines().join('\n'));
    return true;
}

bool XmppWorld::startPidgin()
{
    const std::size_t before = presences().size();
    pidgin_ = std::make_unique<ChildProcess>(QStringLiteral("pidgin"));
    if (!pidgin_->start(QStringLiteral("pidgin"),
                        {QStringLiteral("--config=") + dir_.path() + QStringLiteral("/purple")},
                        {QStringLiteral("DISPLAY=") + display(), QStringLiteral("NO_AT_BRIDGE=1"),
                         QStringLiteral("QT_QPA_PLATFORM")}))
        return fail(QStringLiteral("Pidgin did not start"));
    if (!WaitUntil([this] { return !pidgin_->isRunning() || pidginSignedIn(); }, 20000) ||
        !pidgin_->isRunning())
        return fail(QStringLiteral("Pidgin did not sign in: ") + pidgin_->errorLines().join('\n'));
    // Signed in is not yet seen: bob's presence line says the server has passed it on.
    if (!waitForPresence([](const Presence& p) { return p.type != QLatin1String("unavailable"); },
                         before, 10000))
        return fail(QStringLiteral("bob never saw alice sign in"));
    return true;
}

void XmppWorld::killPidgin()
{
    if (pidgin_)
        pidgin_->kill();
}

QDBusConnection& XmppWorld::bus()
{
    // The bus Pidgin was started on: the one the environment names now.
    if (!bus_) {
        busName_ = QStringLiteral("xmpp-world-%1").arg(quintptr(this));
        bus_ = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                             busName_);
    }
    return *bus_;
}

QVariant XmppWorld::purple(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kPurpleService),
                                                       QLatin1String(kPurpleObjectPath),
                                                       QLatin1String(kPurpleInterface), method);
    call.setArguments(arguments);
    const QDBusMessage reply = bus().call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    return reply.arguments().isEmpty() ? QVariant(0) : reply.arguments().constFirst();
}

bool XmppWorld::pidginSignedIn()
{
    const QVariant account =
        purple(QStringLiteral("PurpleAccountsFind"),
               {QStringLiteral("alice@localhost/pidgin"), QStringLiteral("prpl-jabber")});
    return account.toInt() != 0 &&
           purple(QStringLiteral("PurpleAccountIsConnected"), {account.toInt()}).toInt() == 1;
}

std::vector<Presence> XmppWorld::presences() const
{
    std::vector<Presence> result;
    if (!watcher_)
        return result;
    for (const QString& line : watcher_->outputLines()) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value(QStringLiteral("from")).toString() != QLatin1String(kAlice))
            continue;
        result.push_back({o.value(QStringLiteral("type")).toString(),
                          o.value(QStringLiteral("show")).toString(),
                          o.value(QStringLiteral("status")).toString(),
                          SteadyFromSeconds(o.value(QStringLiteral("at")).toDouble())});
    }
    return result;
}

std::optional<Presence>
XmppWorld::waitForPresence(const std::function<bool(const Presence&)>& matches, std::size_t after,
                           int timeoutMs)
{
    std::optional<Presence> found;
    WaitUntil(
        [&] {
            const std::vector<Presence> all = presences();
            for (std::size_t i = after; i < all.size(); ++i)
                if (matches(all[i])) {
                    found = all[i];
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

std::optional<Presence> XmppWorld::waitForStatus(const QString& status, std::size_t after,
                                                 int timeoutMs)
{
    return waitForPresence([&](const Presence& p) { return p.status == status; }, after, timeoutMs);
}

} // namespace tessaly::test
