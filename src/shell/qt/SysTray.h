#pragma once

// The tray icon: one QSystemTrayIcon from start-up until shutdown, whose clicks reach the main
// window as the mouse messages a Windows notification-area icon would send.

#include "shell/NotifyIconData.h"
#include "shell/TrayDispatch.h"

#include <functional>
#include <optional>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;
class QWidget;

namespace tessaly {

// Who shows the icon. An XEmbed tray (the _NET_SYSTEM_TRAY_S<n> selection owner) reports single
// and double clicks; a StatusNotifierItem host only "activates", so there activation stands for the
// double-click.
enum class TrayHost { None, XEmbed, StatusNotifier };

// The host QSystemTrayIcon will use, by Qt's own rule: a StatusNotifierWatcher on the session bus
// with a host registered wins; otherwise an X11 tray if one is running.
TrayHost DetectTrayHost();
bool TrayHostHasDoubleClick(TrayHost host);

// The one place where Qt's activation reasons become mouse messages.
int MouseMessageFor(QSystemTrayIcon::ActivationReason reason, bool hostHasDoubleClick);

// Shows `icon` with `tip` in the tray; every click on it calls `onNotify` with its mouse message.
// `callbackMessage` is the message number the icon notifies with (kept in the record; on Windows
// it is the window message that carries the mouse message). A second call while an icon is
// present is ignored with a warning: the icon is never changed while it lives.
// With no tray host running the icon waits on X11, and appears when a StatusNotifierWatcher or
// an XEmbed tray starts; once shown, it follows its host through restarts.
// On a StatusNotifierItem host `menu` is exported over dbusmenu, so the host draws it at the icon;
// an XEmbed tray never shows it by itself (its right-button-up reaches `onNotify`).
void AddTrayIcon(QWidget* hWnd, const QIcon& icon, const QString& tip, int callbackMessage,
                 std::function<void(int mouseMessage)> onNotify, QMenu* menu = nullptr);

// Where the StatusNotifierItem host asked for the menu (its ContextMenu(x, y)) just before the
// right-button-up it causes; nothing when the request did not come from such a host. Taking it
// clears it.
std::optional<QPoint> TakeContextMenuRequest();

// Takes the icon out of the tray at once. Safe to call when there is none, and from inside a
// handler that the icon itself called.
void RemoveTrayIcon();
// Added and not removed (shown, or waiting for a host).
bool IsTrayIconPresent();

// The record as AddTrayIcon filled it (zeros before the first add); RemoveTrayIcon names the
// icon by it.
const NotifyIconDataA& TrayIconRecord();

// The live icon (for its geometry), or nullptr.
QSystemTrayIcon* TrayIcon();
// The host found by the last AddTrayIcon.
TrayHost CurrentTrayHost();

} // namespace tessaly
