#include "popup/AlertPlayerCall.h"

namespace tessaly {

bool CallAlertPlayer(AlertOwner& owner, std::string_view operation, PlayerResult (Player::*call)(),
                     const FailureSink& failures) noexcept
{
    PlayerResult result = PlayerResult::Failed;
    const bool ran = RunStep(failures, operation, [&] {
        Player* player = owner.AlertPlayer();
        if (!player) {
            if (failures)
                failures(operation, "there is no player");
            result = PlayerResult::NoPlayer;
            return;
        }
        result = (player->*call)();
        if (result != PlayerResult::Ok && failures)
            failures(operation, result == PlayerResult::NoPlayer ? "no player is connected"
                                                                 : "the player did not do it");
    });
    return ran && result == PlayerResult::Ok;
}

} // namespace tessaly
