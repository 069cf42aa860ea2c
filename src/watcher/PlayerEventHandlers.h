#pragma once

// The handlers of the player's events and the refresh-from-track rule shared with start-up.

#include "watcher/Player.h"

#include <QString>
#include <functional>

namespace tessaly {

// What the handlers need from the main window.
class PlayerEventHost {
public:
    virtual ~PlayerEventHost() = default;
    virtual void NowPlaying(const QString& sArtist, const QString& sAlbum, const QString& sTitle,
                            const QString& sFormat, const QString& sMsg) = 0;
    // The current format string (frmMain's sFormatString).
    virtual QString FormatString() const = 0;
    // The Exit menu command (frmMain's mnuExit_Click).
    virtual void ExitCommand() = 0;
};

// Shows the modal "Itunes Closing..." question; true when the user answers Yes.
bool AskShutdownQuestion();

class PlayerEventHandlers : public PlayerEvents {
public:
    using ShutdownQuestion = std::function<bool()>;

    PlayerEventHandlers(Player& iTune, PlayerEventHost& host,
                        ShutdownQuestion askShutdown = AskShutdownQuestion);

    void iTune_OnPlayerPlayEvent(const PlayerTrack& iTrack);
    void iTune_OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack);
    void iTune_OnQuittingEvent();
    void iTune_OnAboutToPromptUserToQuitEvent();
    void iTune_OnCOMCallsEnabledEvent();

    // Local form: Artist, Album, Name, no message.
    void RefreshLocal(const PlayerTrack& track);
    // Refresh-from-track rule: the radio form for "MPEG audio stream", else the local form.
    void RefreshFromTrack(const PlayerTrack& track);

    // PlayerEvents: each forwards to its iTune_ handler and keeps failures inside.
    void OnPlayerPlayEvent(const PlayerTrack& iTrack) override;
    void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack) override;
    void OnQuittingEvent() override;
    void OnAboutToPromptUserToQuitEvent() override;
    void OnCOMCallsEnabledEvent() override;

private:
    Player& iTune_;
    PlayerEventHost& host_;
    ShutdownQuestion askShutdown_;
};

} // namespace tessaly
