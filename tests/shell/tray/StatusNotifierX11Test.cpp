// A StatusNotifierItem host (a stand-in watcher on a private bus): Qt shows the icon over D-Bus,
// and the host's activate counts as the double-click. Its own program, since the session bus
// must be the private one from the first use on.

#include "shell/qt/AppIcon.h"
#include "shell/qt/SysTray.h"
#include "shell/tray/X11Helpers.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWidget>
#include <vector>

using namespace tessaly;
namespace x11 = tessaly::test::x11;

namespace {

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const
    {
        QMutexLocker lock(&mutex_);
        return items_;
    }
    QString Sender() const
    {
        QMutexLocker lock(&mutex_);
        return sender_;
    }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message)
    {
        QMutexLocker lock(&mutex_);
        items_.append(service);
        sender_ = message.service();
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    mutable QMutex mutex_;
    QStringList items_;
    QString sender_;
};

} // namespace

TEST(StatusNotifierHost, ActivateCountsAsTheDoubleClickAndContextAsRightButtonUp)
{
    if (!x11::OnX11())
        GTEST_SKIP() << "Qt's StatusNotifierItem support is in its desktop platform theme";
    tessaly::test::PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection host = bus.connect(QStringLiteral("host"));
    // The host answers from its own thread, as a separate process would: Qt and the detection
    // both ask it with blocking calls.
    Watcher watcher;
    QThread hostThread;
    watcher.moveToThread(&hostThread);
    hostThread.start();
    struct Join {
        QThread& thread;
        ~Join()
        {
            thread.quit();
            thread.wait();
        }
    } join{hostThread};
    ASSERT_TRUE(host.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                    QDBusConnection::ExportAllSlots |
                                        QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));

    QWidget window;
    std::vector<int> messages;
    AddTrayIcon(&window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE,
                [&](int message) { messages.push_back(message); });
    EXPECT_EQ(CurrentTrayHost(), TrayHost::StatusNotifier);
    ASSERT_TRUE(x11::WaitUntil([&] { return !watcher.Sender().isEmpty(); }))
        << "the icon did not register with the watcher";

    auto call = [&](const char* method) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            watcher.Sender(), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.kde.StatusNotifierItem"), QLatin1String(method));
        message << 100 << 100;
        host.asyncCall(message);
    };
    call("Activate");
    ASSERT_TRUE(x11::WaitUntil([&] { return messages.size() == 1; }));
    EXPECT_EQ(messages[0], kWM_LBUTTONDBLCLK);
    call("ContextMenu");
    ASSERT_TRUE(x11::WaitUntil([&] { return messages.size() == 2; }));
    EXPECT_EQ(messages[1], kWM_RBUTTONUP);
    call("SecondaryActivate");
    ASSERT_TRUE(x11::WaitUntil([&] { return messages.size() == 3; }));
    EXPECT_EQ(messages[2], kWM_MBUTTONUP);
    RemoveTrayIcon();
}

#include "StatusNotifierX11Test.moc"
