#pragma once

// The player over MPRIS 2: follows every org.mpris.MediaPlayer2.* name on the bus and presents the
// most recently active one as the player.

#include "watcher/Player.h"

#include <memory>
#include <QDBusConnection>

namespace tessaly {

// Null when the bus is not connected (the player cannot be created). With no player on the bus
// the connection waits and follows the first one that appears.
std::unique_ptr<Player> CreateMprisPlayer(QDBusConnection bus);

} // namespace tessaly

using tessaly::CreateMprisPlayer;
