#include "shell/qt/SysTray.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "shell/qt/TrayHostWatch.h"
#include "shell/TrayDispatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMutex>
#include <QPointer>
#include <QWidget>

// Qt's StatusNotifierItem adaptor drops the x, y of ContextMenu(x, y); Qt D-Bus's exported spy
// hook sees each incoming call first, on the main thread, before the adaptor runs.
Q_DBUS_EXPORT void qDBusAddSpyHook(void (*)(const QDBusMessage&));

namespace tessaly {
namespace {

constexpr qint64 kContextMenuRequestMs = 2000;

struct ContextMenuRequest {
    QMutex mutex;
    std::optional<QPoint> at;
    QElapsedTimer age;
};

ContextMenuRequest& Request()
{
    static ContextMenuRequest request;
    return request;
}

void SpyOnStatusNotifierCalls(const QDBusMessage& message)
{
    if (message.member() != QLatin1String("ContextMenu") ||
        message.interface() != QLatin1String("org.kde.StatusNotifierItem"))
        return;
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() != 2)
        return;
    ContextMenuRequest& request = Request();
    QMutexLocker lock(&request.mutex);
    request.at = QPoint(arguments[0].toInt(), arguments[1].toInt());
    request.age.start();
}

void InstallContextMenuSpy()
{
    static const bool installed = [] {
        qDBusAddSpyHook(&SpyOnStatusNotifierCalls);
        return true;
    }();
    (void)installed;
}

constexpr int kWatcherTimeoutMs = 500;

struct TrayState {
    QPointer<QSystemTrayIcon> icon;
    NotifyIconDataA record{};
    TrayHost host = TrayHost::None;
    // Added and not removed: the icon, or the wish for one while no tray host runs.
    bool added = false;
    QPointer<QWidget> owner;
    QIcon image;
    QString tip;
    std::function<void(int)> onNotify;
    QPointer<QMenu> menu;
    QPointer<TrayHostWatch> watch;
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
    // Not QSystemTrayIcon::isSystemTrayAvailable() on X11: Qt keeps its first answer about
    // StatusNotifierItem hosts for the life of the process.
    if (platform == QLatin1String("xcb"))
        return XEmbedTrayRunning() ? TrayHost::XEmbed : TrayHost::None;
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

namespace {

// Makes the QSystemTrayIcon for the host found. Qt takes care of a host that restarts from then
// on (it registers again with a new StatusNotifierWatcher, re-docks in a new XEmbed tray).
void CreateIcon(TrayState& state)
{
    const bool hostHasDoubleClick = TrayHostHasDoubleClick(state.host);
    auto* tray = new QSystemTrayIcon(state.image, state.owner);
    tray->setToolTip(state.tip);
    QObject::connect(
        tray, &QSystemTrayIcon::activated, tray,
        [onNotify = state.onNotify, hostHasDoubleClick](QSystemTrayIcon::ActivationReason reason) {
            if (onNotify)
                Guarded(lcShell, "the tray notification",
                        [&] { onNotify(MouseMessageFor(reason, hostHasDoubleClick)); });
        });
    state.icon = tray;
    if (state.host == TrayHost::StatusNotifier && state.menu) {
        InstallContextMenuSpy();
        tray->setContextMenu(state.menu);
    }
    tray->show();
}

void StopWatching(TrayState& state)
{
    if (state.watch)
        state.watch->deleteLater();
    state.watch = nullptr;
}

// A host may have started: show the icon there if it is still wanted.
void LookForHost()
{
    TrayState& state = State();
    if (!state.added || state.icon)
        return;
    state.host = DetectTrayHost();
    if (state.host == TrayHost::None)
        return;
    qCInfo(lcShell) << "a system tray started; the icon is shown there";
    StopWatching(state);
    CreateIcon(state);
}

} // namespace

void AddTrayIcon(QWidget* hWnd, const QIcon& icon, const QString& tip, int callbackMessage,
                 std::function<void(int mouseMessage)> onNotify, QMenu* menu)
{
    TrayState& state = State();
    if (IsTrayIconPresent()) {
        qCWarning(lcShell) << "the tray icon is already present; it is not added again";
        return;
    }
    // Handles are 32 bits wide in the record; the low half names the window and icon uniquely
    // enough for the record's purpose.
    const auto window = hWnd ? static_cast<std::uint32_t>(hWnd->winId()) : 0u;
    const auto iconHandle = static_cast<std::uint32_t>(icon.cacheKey());
    state.record = BuildNotifyIconData(window, iconHandle, tip.toLocal8Bit().toStdString(),
                                       static_cast<std::uint32_t>(callbackMessage));
    state.added = true;
    state.owner = hWnd;
    state.image = icon;
    state.tip = tip;
    state.onNotify = std::move(onNotify);
    state.menu = menu;
    state.host = DetectTrayHost();

    // On X11 the icon waits for a host, so that Qt, which decides between StatusNotifierItem
    // and XEmbed once, decides when there is one; elsewhere Qt's icon waits by itself.
    if (state.host == TrayHost::None && QGuiApplication::platformName() == QLatin1String("xcb")) {
        qCWarning(lcShell) << "no system tray is running; the icon appears when one starts";
        state.watch = new TrayHostWatch(&LookForHost, hWnd);
        return;
    }
    CreateIcon(state);
    if (state.host == TrayHost::None)
        qCWarning(lcShell) << "no system tray is running; the icon appears when one starts";
}

void RemoveTrayIcon()
{
    TrayState& state = State();
    state.added = false;
    state.onNotify = nullptr;
    StopWatching(state);
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
    // The icon and the watch are children of the window: they go with it.
    const TrayState& state = State();
    return state.added && (state.icon || state.watch);
}

const NotifyIconDataA& TrayIconRecord()
{
    return State().record;
}

std::optional<QPoint> TakeContextMenuRequest()
{
    ContextMenuRequest& request = Request();
    QMutexLocker lock(&request.mutex);
    std::optional<QPoint> at;
    if (request.at && request.age.elapsed() <= kContextMenuRequestMs)
        at = request.at;
    request.at.reset();
    return at;
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
