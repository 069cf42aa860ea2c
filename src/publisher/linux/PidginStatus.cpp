#include "publisher/linux/PidginStatus.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"

#include <optional>
#include <QDBusMessage>
#include <QDeadlineTimer>

namespace tessaly {

QString PurpleMessageMarkup(std::u16string_view text)
{
    QString markup;
    markup.reserve(qsizetype(text.size()));
    for (const char16_t c : text) {
        switch (c) {
        case u'&':
            markup += QLatin1String("&amp;");
            break;
        case u'<':
            markup += QLatin1String("&lt;");
            break;
        case u'>':
            markup += QLatin1String("&gt;");
            break;
        default:
            markup += QChar(c);
        }
    }
    return markup;
}

// The calls of one status, all within one deadline; the first failure ends them.
class PidginStatus::Calls {
public:
    explicit Calls(const QDBusConnection& bus) : bus_(bus), deadline_(kTimeLimit.count()) {}

    // A method of libpurple's interface; its int result, 0 for a method without one.
    std::optional<int> purple(const char* method, const QVariantList& arguments)
    {
        const QDBusMessage reply =
            call(QDBusMessage::createMethodCall(
                     QLatin1String(kPurpleService), QLatin1String(kPurpleObjectPath),
                     QLatin1String(kPurpleInterface), QLatin1String(method)),
                 arguments);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            error_ = QLatin1String(method) + QLatin1String(": ") + describe(reply);
            return std::nullopt;
        }
        if (reply.arguments().isEmpty())
            return 0;
        const QVariant result = reply.arguments().constFirst();
        if (result.metaType().id() != QMetaType::Int) {
            error_ = QLatin1String(method) + QLatin1String(": unexpected reply ") +
                     QLatin1String(result.typeName());
            return std::nullopt;
        }
        return result.toInt();
    }

    QDBusMessage call(QDBusMessage message, const QVariantList& arguments) const
    {
        message.setArguments(arguments);
        const qint64 left = deadline_.remainingTime();
        if (left == 0)
            return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Timeout"),
                                            QStringLiteral("time limit reached"));
        return bus_.call(message, QDBus::Block, int(left));
    }

    void fail(const QString& error) { error_ = error; }
    const QString& error() const { return error_; }

private:
    static QString describe(const QDBusMessage& reply)
    {
        if (reply.type() == QDBusMessage::ErrorMessage)
            return reply.errorName() + QLatin1String(" (") + reply.errorMessage() +
                   QLatin1Char(')');
        return QStringLiteral("no reply");
    }

    const QDBusConnection& bus_;
    QDeadlineTimer deadline_;
    QString error_;
};

void PidginStatus::SetYahooStatus(const std::u16string& statusText)
{
    Guarded(lcPublisher, "Pidgin status", [&] { publish(statusText); });
}

bool PidginStatus::hasPidgin(const Calls& calls) const
{
    if (!bus_.isConnected())
        return false;
    const QString daemon = QStringLiteral("org.freedesktop.DBus");
    const QDBusMessage reply =
        calls.call(QDBusMessage::createMethodCall(daemon, QStringLiteral("/org/freedesktop/DBus"),
                                                  daemon, QStringLiteral("NameHasOwner")),
                   {QLatin1String(kPurpleService)});
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toBool();
}

void PidginStatus::publish(const std::u16string& statusText)
{
    Calls calls(bus_);
    if (!hasPidgin(calls)) {
        if (reachable_ && !warned_)
            qCWarning(lcPublisher)
                << "Pidgin has left the session bus; its status is no longer set";
        reachable_ = false;
        return;
    }

    const QString message = PurpleMessageMarkup(statusText);
    const auto activated = [&]() -> bool {
        const std::optional<int> current = calls.purple("PurpleSavedstatusGetCurrent", {});
        if (!current)
            return false;
        // While Pidgin has set the user away for being idle, a new status would end that idle
        // state and leave the user away after coming back: this status waits for the next song.
        if (calls.purple("PurpleSavedstatusIsIdleaway", {}).value_or(0) != 0)
            return true;
        const std::optional<int> type = calls.purple("PurpleSavedstatusGetType", {*current});
        if (!type)
            return false;
        std::optional<int> id =
            calls.purple("PurpleSavedstatusFindTransientByTypeAndMessage", {*type, message});
        if (!id)
            return false;
        if (*id == 0) {
            // An empty title makes a transient status: libpurple reads "" as none.
            id = calls.purple("PurpleSavedstatusNew", {QString(), *type});
            if (id == 0)
                calls.fail(QStringLiteral("PurpleSavedstatusNew: no status made"));
            if (!id || *id == 0 || !calls.purple("PurpleSavedstatusSetMessage", {*id, message}))
                return false;
        }
        return calls.purple("PurpleSavedstatusActivate", {*id}).has_value();
    }();

    if (!activated) {
        if (!warned_)
            qCWarning(lcPublisher).noquote() << "Pidgin did not take the status:" << calls.error();
        warned_ = true;
        reachable_ = false;
        return;
    }
    reachable_ = true;
    warned_ = false;
}

} // namespace tessaly
