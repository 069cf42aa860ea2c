#pragma once

// The program's two message boxes, as Qt dialogs.

#include "watcher/PlayerEventHandlers.h"

namespace tessaly {

// The modal "Critcal Error" box for a player that cannot be created.
void ShowMissingPlayerBox();

// The player's quitting question: Yes and No, Yes the default.
class QtQuitQuestion final : public QuitQuestion {
public:
    bool AskShutdown() override;
};

} // namespace tessaly
