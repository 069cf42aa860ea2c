#include "publisher/linux/LinuxStatusPublisher.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "publisher/linux/DBusWindowMessages.h"
#include "publisher/linux/LocaleCodePage.h"
#include "publisher/linux/SqliteRegistry.h"
#include "publisher/Yahoo.h"

namespace tessaly {
namespace {

class LinuxStatusPublisher final : public StatusPublisher {
public:
    explicit LinuxStatusPublisher(QDBusConnection bus)
        : windows_(std::move(bus)), yahoo_(registry_, windows_, ansi_, &LinuxStatusPublisher::log)
    {}

    void SetYahooStatus(const std::u16string& statusText) override
    {
        Guarded(lcPublisher, "SetYahooStatus", [&] { yahoo_.SetYahooStatus(statusText); });
    }

private:
    static void log(std::string_view step, std::string_view what)
    {
        qCWarning(lcPublisher) << "status publisher:" << QByteArrayView(step)
                               << "failed:" << QByteArrayView(what);
    }

    LocaleCodePage ansi_;
    SqliteRegistry registry_;
    DBusWindowMessages windows_;
    Yahoo yahoo_;
};

} // namespace
} // namespace tessaly

std::unique_ptr<tessaly::StatusPublisher> CreateLinuxStatusPublisher(QDBusConnection bus)
{
    return std::make_unique<tessaly::LinuxStatusPublisher>(std::move(bus));
}
