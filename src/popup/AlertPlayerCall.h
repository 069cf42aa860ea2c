#pragma once

// Back, Pause and Forward on a popup: the call on the player of the window that owns the popup.

#include "common/Steps.h"
#include "popup/AlertOwner.h"
#include "watcher/Player.h"

#include <string_view>

namespace tessaly {

// True when the player did it. No player, a player that refused or one that failed is one
// failure told to `failures` under the operation's name; nothing is thrown.
bool CallAlertPlayer(AlertOwner& owner, std::string_view operation, PlayerResult (Player::*call)(),
                     const FailureSink& failures) noexcept;

} // namespace tessaly
