// Back, Pause and Forward reach the owner's player; every way a call can go wrong is one failure
// under the operation's name, and none escapes.

#include "popup/AlertPlayerCall.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessaly {
namespace {

enum class Behaviour { Ok, NoPlayer, Failed, Throws };

class ScriptedPlayer : public Player {
public:
    explicit ScriptedPlayer(Behaviour behaviour) : behaviour_(behaviour) {}
    void SetEvents(PlayerEvents*) override {}
    std::unique_ptr<PlayerTrack> CurrentTrack() override { return nullptr; }
    std::u16string CurrentStreamTitle() override { return {}; }
    PlayerResult AppCommandMessageProcessingEnabled(bool) override { return PlayerResult::Ok; }
    PlayerResult PlayPause() override { return Answer(); }
    PlayerResult NextTrack() override { return Answer(); }
    PlayerResult PreviousTrack() override { return Answer(); }
    int calls = 0;

private:
    PlayerResult Answer()
    {
        ++calls;
        switch (behaviour_) {
        case Behaviour::Ok:
            return PlayerResult::Ok;
        case Behaviour::NoPlayer:
            return PlayerResult::NoPlayer;
        case Behaviour::Failed:
            return PlayerResult::Failed;
        case Behaviour::Throws:
            throw std::runtime_error("the bus went away");
        }
        return PlayerResult::Failed;
    }
    Behaviour behaviour_;
};

struct Owner : AlertOwner {
    Player* player = nullptr;
    Player* AlertPlayer() override { return player; }
    void RecordAlertChange(PopupId) override {}
};

TEST(AlertPlayerCallTest, OnlyAPlayerThatDidItCountsAndEachFailureIsToldOnce)
{
    struct Case {
        bool hasPlayer;
        Behaviour behaviour;
        bool done;
        const char* told; // nullptr: nothing
    };
    const Case cases[] = {
        {true, Behaviour::Ok, true, nullptr},
        {false, Behaviour::Ok, false, "there is no player"},
        {true, Behaviour::NoPlayer, false, "no player is connected"},
        {true, Behaviour::Failed, false, "the player did not do it"},
        {true, Behaviour::Throws, false, "the bus went away"},
    };
    for (const Case& c : cases) {
        ScriptedPlayer player(c.behaviour);
        Owner owner;
        owner.player = c.hasPlayer ? &player : nullptr;
        std::vector<std::string> failures;
        const bool done =
            CallAlertPlayer(owner, "NextTrack", &Player::NextTrack,
                            [&](std::string_view step, std::string_view what) {
                                failures.push_back(std::string(step) + ": " + std::string(what));
                            });
        const std::string name = c.told ? c.told : "ok";
        EXPECT_EQ(done, c.done) << name;
        EXPECT_EQ(player.calls, c.hasPlayer ? 1 : 0) << name;
        if (c.told)
            EXPECT_EQ(failures, std::vector<std::string>{std::string("NextTrack: ") + c.told});
        else
            EXPECT_TRUE(failures.empty());
    }
}

TEST(AlertPlayerCallTest, WithoutASinkFailuresAreSwallowed)
{
    ScriptedPlayer player(Behaviour::Throws);
    Owner owner;
    owner.player = &player;
    EXPECT_FALSE(CallAlertPlayer(owner, "PlayPause", &Player::PlayPause, {}));
}

} // namespace
} // namespace tessaly
