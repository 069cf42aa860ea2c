#include "publisher/linux/DBusWindow.h"

#include "common/qt/Logging.h"
#include "publisher/linux/DBusWindowMessages.h"

#include <exception>
#include <QDBusConnectionInterface>

namespace tessaly {

DBusWindow::DBusWindow(QDBusConnection bus, std::string className, Handler handler, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), busName_(WindowClassBusName(className)),
      handler_(std::move(handler))
{}

DBusWindow::~DBusWindow()
{
    if (bus_.isConnected()) {
        bus_.unregisterObject(QLatin1String(kWindowObjectPath));
        if (!busName_.isEmpty())
            bus_.unregisterService(busName_);
    }
}

DBusWindow::Registration DBusWindow::registerWindow()
{
    if (busName_.isEmpty() || !bus_.isConnected())
        return Registration::Failed;
    if (!bus_.registerObject(QLatin1String(kWindowObjectPath), this,
                             QDBusConnection::ExportScriptableSlots))
        return Registration::Failed;
    // The daemon's NameAcquired arrives for a queued name once the owner leaves.
    bus_.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameAcquired"), this,
                 SLOT(onNameAcquired(QString)));
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(busName_, QDBusConnectionInterface::QueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return Registration::Failed;
    switch (reply.value()) {
    case QDBusConnectionInterface::ServiceRegistered:
        return Registration::Owner;
    case QDBusConnectionInterface::ServiceQueued:
        return Registration::Queued;
    default:
        return Registration::Failed;
    }
}

bool DBusWindow::ownsName() const
{
    if (busName_.isEmpty() || !bus_.isConnected())
        return false;
    const QDBusReply<QString> owner = bus_.interface()->serviceOwner(busName_);
    return owner.isValid() && owner.value() == bus_.baseService();
}

void DBusWindow::onNameAcquired(const QString& name)
{
    if (name == busName_)
        Q_EMIT nameAcquired();
}

qlonglong DBusWindow::SendMessage(uint msg, qulonglong wParam, qlonglong lParam)
{
    try {
        const std::optional<std::int64_t> result =
            handler_ ? handler_(msg, wParam, lParam) : std::optional<std::int64_t>(0);
        if (!result) {
            // Never answered: the sender's time limit is what ends its wait.
            setDelayedReply(true);
            return 0;
        }
        return *result;
    } catch (const std::exception& e) {
        qCWarning(lcPublisher) << "window message" << msg << wParam << "failed:" << e.what();
    } catch (...) {
        qCWarning(lcPublisher) << "window message" << msg << wParam << "failed";
    }
    return 0;
}

} // namespace tessaly
