#include "publisher/linux/LinuxMessengers.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "publisher/FanOutPublisher.h"
#include "publisher/linux/LinuxStatusPublisher.h"
#include "publisher/linux/PidginStatus.h"
#include "publisher/StatusWriter.h"

#include <atomic>
#include <vector>

namespace tessaly {
namespace {

// The messengers together with the bus connection they use, which goes with them.
class OnOwnConnection final : public StatusPublisher {
public:
    explicit OnOwnConnection(QString name)
        : name_(std::move(name)), messengers_(CreateLinuxMessengers(QDBusConnection::connectToBus(
                                      QDBusConnection::SessionBus, name_)))
    {}
    ~OnOwnConnection() override
    {
        messengers_.reset();
        QDBusConnection::disconnectFromBus(name_);
    }

    void SetYahooStatus(const std::u16string& statusText) override
    {
        messengers_->SetYahooStatus(statusText);
    }

private:
    QString name_;
    std::unique_ptr<StatusPublisher> messengers_;
};

} // namespace

std::unique_ptr<StatusPublisher> CreateLinuxMessengers(QDBusConnection bus)
{
    std::vector<std::unique_ptr<StatusPublisher>> messengers;
    messengers.push_back(CreateLinuxStatusPublisher(bus));
    messengers.push_back(std::make_unique<PidginStatus>(std::move(bus)));
    return std::make_unique<FanOutPublisher>(std::move(messengers), LogFailures(lcPublisher));
}

std::unique_ptr<StatusPublisher> CreateLinuxStatusWriter()
{
    // A name of its own for each writer: a named connection that is still open would be shared.
    static std::atomic<int> writers{0};
    const QString name = QStringLiteral("tessaly-status-writer-%1").arg(++writers);
    return std::make_unique<StatusWriter>(
        [name] { return std::make_unique<OnOwnConnection>(name); }, LogFailures(lcPublisher));
}

} // namespace tessaly
