#include "FakePurple.h"

#include "publisher/linux/PidginStatus.h"

#include <QDBusConnectionInterface>

namespace tessaly::test {

FakePurple::FakePurple()
{
    // The default status of a fresh Pidgin: a transient "Available" without a message.
    statuses_[1] = {QString(), kAvailable, QString()};
    current_ = 1;
    thread_.setObjectName(QStringLiteral("fake-purple"));
    thread_.start();
    moveToThread(&thread_);
}

FakePurple::~FakePurple()
{
    stop();
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
    thread_.quit();
    thread_.wait();
}

bool FakePurple::start(const QString& busAddress)
{
    if (connectionName_.isEmpty()) {
        connectionName_ = QStringLiteral("fake-purple-%1").arg(quintptr(this));
        QDBusConnection bus = QDBusConnection::connectToBus(busAddress, connectionName_);
        if (!bus.registerObject(QLatin1String(kPurpleObjectPath), this,
                                QDBusConnection::ExportAllSlots))
            return false;
    }
    return QDBusConnection(connectionName_).registerService(QLatin1String(kPurpleService));
}

void FakePurple::stop()
{
    if (!connectionName_.isEmpty())
        QDBusConnection(connectionName_).unregisterService(QLatin1String(kPurpleService));
}

int FakePurple::activate(const SavedStatus& status)
{
    const std::lock_guard lock(mutex_);
    statuses_[nextId_] = status;
    current_ = nextId_;
    return nextId_++;
}

void FakePurple::setMode(Mode mode)
{
    const std::lock_guard lock(mutex_);
    mode_ = mode;
}

QStringList FakePurple::calls() const
{
    const std::lock_guard lock(mutex_);
    return calls_;
}

void FakePurple::clearCalls()
{
    const std::lock_guard lock(mutex_);
    calls_.clear();
}

FakePurple::SavedStatus FakePurple::status(int id) const
{
    const std::lock_guard lock(mutex_);
    const auto it = statuses_.find(id);
    return it == statuses_.end() ? SavedStatus{} : it->second;
}

int FakePurple::current() const
{
    const std::lock_guard lock(mutex_);
    return current_;
}

bool FakePurple::enter(const QString& call)
{
    Mode mode;
    {
        const std::lock_guard lock(mutex_);
        calls_ << call;
        mode = mode_;
    }
    switch (mode) {
    case Mode::Answer:
        return true;
    case Mode::Fail:
        // What libpurple answers for an object it no longer has.
        sendErrorReply(QStringLiteral("im.pidgin.purple.PurpleInterface.InvalidHandle"),
                       QStringLiteral("Invalid handle"));
        return false;
    case Mode::Hang:
        setDelayedReply(true);
        return false;
    }
    return false;
}

bool FakePurple::known(int id)
{
    if (statuses_.count(id))
        return true;
    sendErrorReply(QStringLiteral("im.pidgin.purple.PurpleInterface.InvalidHandle"),
                   QStringLiteral("Invalid handle %1").arg(id));
    return false;
}

int FakePurple::PurpleSavedstatusGetCurrent()
{
    if (!enter(QStringLiteral("GetCurrent")))
        return 0;
    const std::lock_guard lock(mutex_);
    return current_;
}

int FakePurple::PurpleSavedstatusIsIdleaway()
{
    if (!enter(QStringLiteral("IsIdleaway")))
        return 0;
    const std::lock_guard lock(mutex_);
    return idleAway_ ? 1 : 0;
}

void FakePurple::setIdleAway(bool idle)
{
    const std::lock_guard lock(mutex_);
    idleAway_ = idle;
}

int FakePurple::PurpleSavedstatusGetType(int status)
{
    if (!enter(QStringLiteral("GetType %1").arg(status)))
        return 0;
    const std::lock_guard lock(mutex_);
    return known(status) ? statuses_[status].type : 0;
}

int FakePurple::PurpleSavedstatusFindTransientByTypeAndMessage(int type, const QString& message)
{
    if (!enter(QStringLiteral("FindTransient %1 [%2]").arg(type).arg(message)))
        return 0;
    const std::lock_guard lock(mutex_);
    for (const auto& [id, status] : statuses_)
        if (status.title.isEmpty() && status.type == type && status.message == message)
            return id;
    return 0;
}

int FakePurple::PurpleSavedstatusNew(const QString& title, int type)
{
    if (!enter(QStringLiteral("New [%1] %2").arg(title).arg(type)))
        return 0;
    const std::lock_guard lock(mutex_);
    statuses_[nextId_] = {title, type, QString()};
    return nextId_++;
}

void FakePurple::PurpleSavedstatusSetMessage(int status, const QString& message)
{
    if (!enter(QStringLiteral("SetMessage %1 [%2]").arg(status).arg(message)))
        return;
    const std::lock_guard lock(mutex_);
    if (known(status))
        statuses_[status].message = message;
}

void FakePurple::PurpleSavedstatusActivate(int status)
{
    if (!enter(QStringLiteral("Activate %1").arg(status)))
        return;
    const std::lock_guard lock(mutex_);
    if (known(status))
        current_ = status;
}

} // namespace tessaly::test
