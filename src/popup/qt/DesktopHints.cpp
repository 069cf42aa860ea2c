#include "popup/qt/DesktopHints.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <unordered_map>

#if defined(TESSALY_HAVE_XCB) && QT_CONFIG(xcb)
#include "common/qt/X11Support.h"

#include <algorithm>
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
    // Looked up once: each lookup is a round trip, and every popup needs them.
    static const xcb_atom_t state = X11Atom(connection, "_NET_WM_STATE");
    static const xcb_atom_t states[] = {X11Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
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

bool ShowAsNativeBackground(QWidget* window, const QImage& content)
{
    xcb_connection_t* connection = X11Connection();
    if (!connection || content.isNull())
        return false;
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    const std::uint8_t depth = geometry ? geometry->depth : 0;
    std::free(geometry);
    // 32 bits a pixel in the server's byte order is what QImage's 32-bit formats hold on a
    // little-endian machine; anything else is left to the window's own painting.
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if ((depth != 24 && depth != 32) || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
        QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return false;
    const QImage image = content.convertToFormat(depth == 32 ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
    const auto width = static_cast<std::uint16_t>(image.width());
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, depth, pixmap, id, width,
                      static_cast<std::uint16_t>(image.height()));
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    // In bands well under the core protocol's request size limit.
    const int rowsPerBand = std::max(1, 65536 / int(image.bytesPerLine()));
    for (int top = 0; top < image.height(); top += rowsPerBand) {
        const int rows = std::min(rowsPerBand, image.height() - top);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width,
                      static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(top), 0, depth,
                      static_cast<std::uint32_t>(rows * image.bytesPerLine()),
                      image.constScanLine(top));
    }
    xcb_change_window_attributes(connection, id, XCB_CW_BACK_PIXMAP, &pixmap);
    // The window holds on to its background; the ids are no longer needed.
    xcb_free_gc(connection, gc);
    xcb_free_pixmap(connection, pixmap);
    xcb_clear_area(connection, 0, id, 0, 0, 0, 0);
    xcb_flush(connection);
    return true;
}

namespace {

class ResizeReportFilter : public QAbstractNativeEventFilter {
public:
    std::unordered_map<xcb_window_t, std::function<bool(const QSize&)>> windows;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (windows.empty() || eventType != QByteArrayLiteral("xcb_generic_event_t"))
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
            return false;
        const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        const auto it = windows.find(configure->window);
        if (it == windows.end())
            return false;
        bool passOn = true;
        Guarded(lcPopup, "a resize report",
                [&] { passOn = it->second(QSize(configure->width, configure->height)); });
        return !passOn;
    }
};

ResizeReportFilter& Filter()
{
    static ResizeReportFilter filter;
    static const bool installed = [] {
        QCoreApplication::instance()->installNativeEventFilter(&filter);
        return true;
    }();
    (void)installed;
    return filter;
}

} // namespace

void SkipResizeReports(QWidget* window, std::function<bool(const QSize&)> passOn)
{
    if (!X11Connection())
        return;
    Filter().windows[static_cast<xcb_window_t>(window->winId())] = std::move(passOn);
}

void ForgetResizeReports(QWidget* window)
{
    if (!X11Connection() || !window->testAttribute(Qt::WA_WState_Created))
        return;
    Filter().windows.erase(static_cast<xcb_window_t>(window->winId()));
}

#else

void KeepOffTheTaskbar(QWidget* window)
{
    (void)window;
}

bool ShowAsNativeBackground(QWidget* window, const QImage& content)
{
    (void)window;
    (void)content;
    return false;
}

void SkipResizeReports(QWidget* window, std::function<bool(const QSize&)> passOn)
{
    (void)window;
    (void)passOn;
}

void ForgetResizeReports(QWidget* window)
{
    (void)window;
}

#endif

} // namespace tessaly
