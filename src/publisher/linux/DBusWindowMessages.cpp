#include "publisher/linux/DBusWindowMessages.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <vector>

namespace tessaly {

namespace {
// The bus daemon itself answers at once; this only guards against a wedged connection.
constexpr int kBusDaemonTimeoutMs = 2000;

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

QDBusMessage windowCall(const QString& destination, const WindowMessage& message)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        destination, QLatin1String(kWindowObjectPath), QLatin1String(kWindowInterface),
        QStringLiteral("SendMessage"));
    call << uint(message.msg) << qulonglong(message.wParam) << qlonglong(message.lParam);
    return call;
}

// The daemon's answer for a unique name that has left the bus.
bool isOwnerGone(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ErrorMessage &&
           (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"));
}
} // namespace

QString WindowClassBusName(std::string_view className)
{
    if (className.empty())
        return {};
    QString name = QLatin1String(kWindowClassPrefix);
    for (std::size_t i = 0; i < className.size(); ++i) {
        const char c = className[i];
        const bool leadingDigit = i == 0 && c >= '0' && c <= '9';
        if (isNameCharacter(c) && !leadingDigit)
            name += QLatin1Char(c);
        else
            name += QStringLiteral("_%1")
                        .arg(uint(static_cast<unsigned char>(c)), 2, 16, QLatin1Char('0'))
                        .toUpper();
    }
    return name;
}

DBusWindowMessages::DBusWindowMessages(QDBusConnection bus) : bus_(std::move(bus)) {}

DBusWindowMessages::~DBusWindowMessages() = default;

DBusWindowMessages::WindowClass& DBusWindowMessages::watch(const QString& busName)
{
    const auto found = classes_.find(busName);
    if (found != classes_.end())
        return found->second;
    WindowClass& entry = classes_[busName];
    // Watching before the first look-up: a change after the daemon's answer is always told.
    entry.watcher = std::make_unique<QDBusServiceWatcher>(busName, bus_,
                                                          QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(entry.watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged,
                     entry.watcher.get(),
                     [&entry](const QString&, const QString&, const QString& newOwner) {
                         entry.owner = newOwner;
                     });
    return entry;
}

QString DBusWindowMessages::lookUpOwner(const QString& busName)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    call << busName;
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kBusDaemonTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().toString();
}

WindowHandle DBusWindowMessages::FindWindowA(const char* className, const char*)
{
    const QString name = WindowClassBusName(className ? className : "");
    if (name.isEmpty() || !bus_.isConnected())
        return {};
    WindowClass& entry = watch(name);
    // Owner changes the bus has told since the last call; this thread need not run a loop.
    QCoreApplication::sendPostedEvents(entry.watcher.get(), QEvent::MetaCall);
    if (entry.owner.isEmpty())
        entry.owner = lookUpOwner(name);
    if (entry.owner.isEmpty())
        return {};
    std::string token = entry.owner.toStdString();
    classOfOwner_[token] = name;
    return {std::move(token)};
}

std::intptr_t DBusWindowMessages::SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                                      std::uintptr_t wParam, std::intptr_t lParam,
                                                      std::chrono::milliseconds timeout)
{
    if (window.isNull() || !bus_.isConnected())
        return 0;
    // Block, not BlockWithGui: like SendMessage, nothing else runs on this thread meanwhile.
    const QDBusMessage reply =
        bus_.call(windowCall(QString::fromStdString(window.token), {msg, wParam, lParam}),
                  QDBus::Block, int(timeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return std::intptr_t(reply.arguments().constFirst().toLongLong());
}

DBusWindowMessages::Delivery DBusWindowMessages::sendAll(const QString& destination,
                                                         std::span<const WindowMessage> messages,
                                                         std::chrono::milliseconds timeout)
{
    std::vector<QDBusPendingCall> calls;
    calls.reserve(messages.size());
    for (const WindowMessage& message : messages)
        calls.push_back(bus_.asyncCall(windowCall(destination, message), int(timeout.count())));
    bool gone = !calls.empty();
    for (QDBusPendingCall& call : calls) {
        // Each wait ends at the latest when the call's own time limit, which began at its send,
        // runs out.
        call.waitForFinished();
        gone = gone && isOwnerGone(call.reply());
    }
    return gone ? Delivery::OwnerGone : Delivery::Done;
}

void DBusWindowMessages::SendMessagesTimeoutA(const WindowHandle& window,
                                              std::span<const WindowMessage> messages,
                                              std::chrono::milliseconds timeout)
{
    if (window.isNull() || !bus_.isConnected() || messages.empty())
        return;
    if (sendAll(QString::fromStdString(window.token), messages, timeout) != Delivery::OwnerGone)
        return;
    const auto known = classOfOwner_.find(window.token);
    if (known == classOfOwner_.end())
        return;
    const QString busName = known->second;
    classOfOwner_.erase(known);
    WindowClass& entry = watch(busName);
    QCoreApplication::sendPostedEvents(entry.watcher.get(), QEvent::MetaCall);
    if (entry.owner == QString::fromStdString(window.token))
        entry.owner.clear();
    if (entry.owner.isEmpty())
        entry.owner = lookUpOwner(busName);
    if (entry.owner.isEmpty() || entry.owner == QString::fromStdString(window.token))
        return;
    classOfOwner_[entry.owner.toStdString()] = busName;
    sendAll(entry.owner, messages, timeout);
}

} // namespace tessaly
