#include "shell/qt/SysTray.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "shell/TrayDispatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

namespace tessaly {
namespace {

constexpr int kWatcherTimeoutMs = 500;

struct TrayState {
    QPointer<QSystemTrayIcon> icon;
    NotifyIconDataA record{};
    TrayHost host = TrayHost::None;
};

TrayState& State()
{
    static TrayState state;
    return state;
}

bool StatusNotifierHostRegistered()
{
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (!bus.interface()->isServiceRegistered(watcher).value())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

} // namespace

TrayHost DetectTrayHost()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return TrayHost::None;
    if (StatusNotifierHostRegistered())
        return TrayHost::StatusNotifier;
    return QSystemTrayIcon::isSystemTrayAvailable() ? TrayHost::XEmbed : TrayHost::None;
}

bool TrayHostHasDoubleClick(TrayHost host)
{
    return host != TrayHost::StatusNotifier;
}

int MouseMessageFor(QSystemTrayIcon::ActivationReason reason, bool hostHasDoubleClick)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        return kWM_RBUTTONUP;
    case QSystemTrayIcon::DoubleClick:
        return kWM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Trigger:
        return hostHasDoubleClick ? kWM_LBUTTONUP : kWM_LBUTTONDBLCLK;
    case QSystemTrayIcon::MiddleClick:
        return kWM_MBUTTONUP;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return kWM_MOUSEMOVE;
}

void AddTrayIcon(QWidget* hWnd, const QIcon& icon, const QString& tip, int callbackMessage,
                 std::function<void(int mouseMessage)> onNotify)
{
    TrayState& state = State();
    if (state.icon) {
        qCWarning(lcShell) << "the tray icon is already present; it is not added again";
        return;
    }
    state.host = DetectTrayHost();
    const bool hostHasDoubleClick = TrayHostHasDoubleClick(state.host);

    auto* tray = new QSystemTrayIcon(icon, hWnd);
    tray->setToolTip(tip);
    QObject::connect(tray, &QSystemTrayIcon::activated, tray,
                     [onNotify = std::move(onNotify),
                      hostHasDoubleClick](QSystemTrayIcon::ActivationReason reason) {
                         if (onNotify)
                             Guarded(lcShell, "the tray notification", [&] {
                                 onNotify(MouseMessageFor(reason, hostHasDoubleClick));
                             });
                     });

    // Handles are 32 bits wide in the record; the low half names the window and icon uniquely
    // enough for the record's purpose.
    const auto window = hWnd ? static_cast<std::uint32_t>(hWnd->winId()) : 0u;
    const auto iconHandle = static_cast<std::uint32_t>(icon.cacheKey());
    state.record = BuildNotifyIconData(window, iconHandle, tip.toLocal8Bit().toStdString(),
                                       static_cast<std::uint32_t>(callbackMessage));
    state.icon = tray;
    tray->show();
    if (state.host == TrayHost::None)
        qCWarning(lcShell) << "no system tray is running; the icon appears when one starts";
}

void RemoveTrayIcon()
{
    TrayState& state = State();
    if (!state.icon)
        return;
    QSystemTrayIcon* tray = state.icon;
    state.icon = nullptr;
    tray->hide();
    tray->disconnect();
    tray->deleteLater();
}

bool IsTrayIconPresent()
{
    const TrayState& state = State();
    return state.icon && state.icon->isVisible();
}

const NotifyIconDataA& TrayIconRecord()
{
    return State().record;
}

QSystemTrayIcon* TrayIcon()
{
    return State().icon;
}

TrayHost CurrentTrayHost()
{
    return State().host;
}

} // namespace tessaly
