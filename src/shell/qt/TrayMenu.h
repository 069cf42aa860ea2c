#pragma once

// The tray icon's context menu "&Main" and its six commands.

#include <functional>

class QMenu;
class QWidget;

namespace tessaly {

struct TrayMenuCommands {
    std::function<void()> show, about, help, donate, site, exit;
};

// Builds mnuPopup as a child of `owner`. Its actions are also added to `owner` as window
// shortcuts, so Ctrl+C, Ctrl+A, ... work while the main window has focus (a text box that uses
// the same keys for copy, select-all or cut keeps them). A command that throws is reported and
// the program goes on.
QMenu* BuildTrayMenu(QWidget* owner, const TrayMenuCommands& commands);

} // namespace tessaly
