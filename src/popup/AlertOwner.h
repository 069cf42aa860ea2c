#pragma once

// What a popup needs from the window that owns the player: the player its buttons drive, and
// where a Back or Forward press is recorded so that the next refresh updates this popup.

#include "watcher/AlertPort.h"

namespace tessaly {

class Player;

class AlertOwner {
public:
    virtual ~AlertOwner() = default;
    // The player the popup's buttons drive (frmMain's iTune); may be null.
    virtual Player* AlertPlayer() = 0;
    // Back or Forward was used: bAlertChange := true, oAlert := alert.
    virtual void RecordAlertChange(PopupId alert) = 0;
};

} // namespace tessaly
