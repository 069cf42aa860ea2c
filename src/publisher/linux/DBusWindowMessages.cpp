#include "publisher/linux/DBusWindowMessages.h"

#include <QDBusMessage>

namespace tessaly {

namespace {
// The bus daemon itself answers at once; this only guards against a wedged connection.
constexpr int kBusDaemonTimeoutMs = 2000;

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
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

WindowHandle DBusWindowMessages::FindWindowA(const char* className, const char*)
{
    const QString name = WindowClassBusName(className ? className : "");
    if (name.isEmpty() || !bus_.isConnected())
        return {};
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    call << name;
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kBusDaemonTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return {reply.arguments().constFirst().toString().toStdString()};
}

std::intptr_t DBusWindowMessages::SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                                      std::uintptr_t wParam, std::intptr_t lParam,
                                                      std::chrono::milliseconds timeout)
{
    if (window.isNull() || !bus_.isConnected())
        return 0;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromStdString(window.token), QLatin1String(kWindowObjectPath),
        QLatin1String(kWindowInterface), QStringLiteral("SendMessage"));
    call << uint(msg) << qulonglong(wParam) << qlonglong(lParam);
    // Block, not BlockWithGui: like SendMessage, nothing else runs on this thread meanwhile.
    const QDBusMessage reply = bus_.call(call, QDBus::Block, int(timeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return std::intptr_t(reply.arguments().constFirst().toLongLong());
}

} // namespace tessaly
