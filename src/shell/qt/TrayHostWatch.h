#pragma once

// Notices tray hosts that start after Tessaly: a StatusNotifierWatcher that appears (or gets a new
// owner) on the session bus, and an XEmbed tray manager that announces itself on the X display.

#include <functional>
#include <QAbstractNativeEventFilter>
#include <QObject>

class QDBusServiceWatcher;

namespace tessaly {

// True when an XEmbed tray manager owns _NET_SYSTEM_TRAY_S0. Asked of the X server directly:
// Qt's own answer is taken once per process and would hide a StatusNotifierItem host that
// starts later.
bool XEmbedTrayRunning();

// Calls `onHost` each time a host may have appeared, until destroyed. The call comes from the
// event loop, a little after the event, so the new host has had time to register itself.
class TrayHostWatch : public QObject, private QAbstractNativeEventFilter {
public:
    explicit TrayHostWatch(std::function<void()> onHost, QObject* parent = nullptr);
    ~TrayHostWatch() override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void Soon();

    std::function<void()> onHost_;
    QDBusServiceWatcher* watcher_;
    unsigned managerAtom_ = 0;
    unsigned trayAtom_ = 0;
};

} // namespace tessaly
