#include "popup/qt/DesktopHints.h"

#include "common/qt/Logging.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(TESSALY_HAVE_XCB) && QT_CONFIG(xcb)
#include "common/qt/X11Support.h"

#include <cstdlib>
#include <cstring>
#endif

namespace tessaly {

#if defined(TESSALY_HAVE_XCB) && QT_CONFIG(xcb)

void KeepOffTheTaskbar(QWidget* window)
{
    xcb_connection_t* connection = X11Connection();
    if (!connection)
        return;
    window->setWindowFlag(Qt::X11BypassWindowManagerHint);
    const xcb_atom_t state = X11Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t states[] = {X11Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 X11Atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
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
