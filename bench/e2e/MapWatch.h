#pragma once

// Sees top-level windows being mapped on the X display, from a connection of its own (plain
// xcb, no toolkit): the moment the X server maps a program's window is the start-up's end as the
// user sees it, whatever the program logs.

#include <chrono>
#include <cstdint>
#include <optional>
#include <QString>

struct xcb_connection_t;

namespace bench {

class MapWatch {
public:
    // Connects to $DISPLAY and watches the root window's children.
    MapWatch();
    ~MapWatch();
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    bool ok() const { return connection_ != nullptr; }
    // Waits (running the Qt event loop too) until a top-level window of process pid titled
    // `title` is mapped; answers when the X server said so, or nothing after timeoutMs.
    std::optional<std::chrono::steady_clock::time_point>
    waitForMapped(qint64 pid, const QString& title, int timeoutMs);

private:
    bool belongsTo(std::uint32_t window, qint64 pid, const QString& title);
    std::uint32_t atom(const char* name);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
};

} // namespace bench
