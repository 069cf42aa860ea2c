#pragma once

// The program's two message boxes.

#include "watcher/PlayerEventHandlers.h"

namespace tessaly {

// "Critcal Error", critical-stop icon, OK: the player cannot be created.
void ShowMissingPlayerBox();

// Yes and No, Yes the default; the box has no owner, like the quitting player's question.
class Win32QuitQuestion final : public QuitQuestion {
public:
    bool AskShutdown() override;
};

} // namespace tessaly
