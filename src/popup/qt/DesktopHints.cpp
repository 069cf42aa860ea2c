#include "popup/qt/DesktopHints.h"

#include "common/qt/Logging.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(TESSALY_HAVE_XCB) && QT_CONFIG(xcb)
#include <cstdlib>
#include <cstring>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace tessaly {

#if defined(TESSALY_HAVE_XCB) && QT_CONFIG(xcb)

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_connection_t* Connection()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

void KeepOffTheTaskbar(QWidget* window)
{
    xcb_connection_t* connection = Connection();
    if (!connection)
        return;
    window->setWindowFlag(Qt::X11BypassWindowManagerHint);
    const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t states[] = {Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 Atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || states[0] == XCB_ATOM_NONE || states[1] == XCB_ATOM_NONE) {
        qCWarning(lcPopup) << "the X server has no taskbar state atoms";
        return;
    }
    // On the unmapped window; Qt keeps states it finds there when it adds its own at the map.
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, 2, states);
    xcb_flush(connection);
}

#else

void KeepOffTheTaskbar(QWidget* window)
{
    (void)window;
}

#endif

} // namespace tessaly
