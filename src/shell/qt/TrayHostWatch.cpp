#include "shell/qt/TrayHostWatch.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QTimer>

#if defined(TESSALY_HAVE_XCB) && QT_CONFIG(xcb)
#include "common/qt/X11Support.h"

#include <cstdlib>
#include <cstring>
#define TESSALY_TRAY_XCB 1
#endif

namespace tessaly {
namespace {

// A host registers itself with the watcher a moment after taking its name; look again a few
// times before giving up until the next event.
constexpr int kLookAgainMs[] = {200, 1000, 3000};

} // namespace

bool XEmbedTrayRunning()
{
#ifdef TESSALY_TRAY_XCB
    xcb_connection_t* connection = X11Connection();
    if (!connection)
        return false;
    const xcb_atom_t tray = X11Atom(connection, "_NET_SYSTEM_TRAY_S0");
    if (tray == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, tray), nullptr);
    const bool running = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return running;
#else
    return false;
#endif
}

TrayHostWatch::TrayHostWatch(std::function<void()> onHost, QObject* parent)
    : QObject(parent), onHost_(std::move(onHost)),
      watcher_(new QDBusServiceWatcher(
          QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForOwnerChange,
          this))
{
    connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] { Soon(); });
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { Soon(); });
#ifdef TESSALY_TRAY_XCB
    if (xcb_connection_t* connection = X11Connection()) {
        managerAtom_ = X11Atom(connection, "MANAGER");
        trayAtom_ = X11Atom(connection, "_NET_SYSTEM_TRAY_S0");
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
#endif
}

TrayHostWatch::~TrayHostWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TrayHostWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef TESSALY_TRAY_XCB
    // A new tray manager tells every client with a MANAGER message on the root window.
    if (eventType != "xcb_generic_event_t" || !managerAtom_)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->type == managerAtom_ && client->data.data32[1] == trayAtom_)
        Soon();
#else
    (void)eventType;
    (void)message;
#endif
    return false;
}

void TrayHostWatch::Soon()
{
    for (const int ms : kLookAgainMs)
        QTimer::singleShot(ms, this, [this] {
            if (onHost_)
                Guarded(lcShell, "the tray host watch", onHost_);
        });
}

} // namespace tessaly
