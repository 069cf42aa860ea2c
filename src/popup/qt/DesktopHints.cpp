#include "popup/qt/DesktopHints.h"

#include "common/qt/Logging.h"

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

// What the X server sends for a resize of the window and its background uncovered.
constexpr std::uint32_t kResizeReports =
    XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_PROPERTY_CHANGE;

// The events Qt selected for each window that was made quiet, as it selected them.
std::unordered_map<xcb_window_t, std::uint32_t>& SelectedEvents()
{
    static std::unordered_map<xcb_window_t, std::uint32_t> selected;
    return selected;
}

} // namespace

void QuietResizeReports(QWidget* window, bool quiet)
{
    xcb_connection_t* connection = X11Connection();
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    auto it = SelectedEvents().find(id);
    if (it == SelectedEvents().end()) {
        if (!quiet)
            return;
        // Read once per window: a round trip.
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, id), nullptr);
        if (!attributes)
            return;
        it = SelectedEvents().emplace(id, attributes->your_event_mask).first;
        std::free(attributes);
    }
    const std::uint32_t events = quiet ? it->second & ~kResizeReports : it->second;
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);
}

void ForgetResizeReports(QWidget* window)
{
    if (!X11Connection() || !window->testAttribute(Qt::WA_WState_Created))
        return;
    SelectedEvents().erase(static_cast<xcb_window_t>(window->winId()));
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

void QuietResizeReports(QWidget* window, bool quiet)
{
    (void)window;
    (void)quiet;
}

void ForgetResizeReports(QWidget* window)
{
    (void)window;
}

#endif

} // namespace tessaly
