#pragma once

// The tray icon's context menu "&Main" and its six commands.

#include <functional>

class QMenu;
class QWidget;

namespace tessaly {

struct TrayMenuCommands {
    std::function<void()> show, about, help, donate, site, exit;
};

// Builds mnuPopup as a child of `owner`. The Ctrl shortcuts belong to the menu alone: `owner`
// gets none of them, so its text boxes keep Ctrl+C, Ctrl+A and Ctrl+X for copy, select all and
// cut. A command that throws is reported and the program goes on.
QMenu* BuildTrayMenu(QWidget* owner, const TrayMenuCommands& commands);

} // namespace tessaly
