#include "MapWatch.h"

#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <xcb/xcb.h>

namespace bench {

MapWatch::MapWatch()
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    root_ = screens.data->root;
    // Creation and mapping of the root's children; a window manager's frames are followed by
    // watching each new window itself too.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

MapWatch::~MapWatch()
{
    if (connection_)
        xcb_disconnect(connection_);
}

std::uint32_t MapWatch::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name),
        nullptr);
    const std::uint32_t value = reply ? reply->atom : 0;
    std::free(reply);
    return value;
}

bool MapWatch::belongsTo(std::uint32_t window, qint64 pid, const QString& title)
{
    const std::uint32_t pidAtom = atom("_NET_WM_PID");
    const std::uint32_t nameAtom = atom("_NET_WM_NAME");
    const std::uint32_t utf8 = atom("UTF8_STRING");
    xcb_get_property_reply_t* pidReply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1),
        nullptr);
    bool ours =
        pidReply && xcb_get_property_value_length(pidReply) == 4 &&
        *static_cast<const std::uint32_t*>(xcb_get_property_value(pidReply)) == std::uint32_t(pid);
    std::free(pidReply);
    if (!ours)
        return false;
    xcb_get_property_reply_t* nameReply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, nameAtom, utf8, 0, 256), nullptr);
    const QString name =
        nameReply ? QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(nameReply)),
                                      xcb_get_property_value_length(nameReply))
                  : QString();
    std::free(nameReply);
    return name == title;
}

std::optional<std::chrono::steady_clock::time_point>
MapWatch::waitForMapped(qint64 pid, const QString& title, int timeoutMs)
{
    if (!connection_)
        return std::nullopt;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const auto seen = std::chrono::steady_clock::now();
            const std::uint8_t type = event->response_type & 0x7f;
            std::optional<std::chrono::steady_clock::time_point> found;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (created->parent == root_ && !created->override_redirect) {
                    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                    xcb_change_window_attributes(connection_, created->window, XCB_CW_EVENT_MASK,
                                                 &mask);
                    xcb_flush(connection_);
                }
            } else if (type == XCB_MAP_NOTIFY) {
                const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (!mapped->override_redirect && belongsTo(mapped->window, pid, title))
                    found = seen;
            }
            std::free(event);
            if (found)
                return found;
        }
        if (xcb_connection_has_error(connection_))
            return std::nullopt;
        pollfd wait{xcb_get_file_descriptor(connection_), POLLIN, 0};
        ::poll(&wait, 1, 2);
        QCoreApplication::processEvents();
    }
    return std::nullopt;
}

} // namespace bench
