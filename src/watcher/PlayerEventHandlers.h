#pragma once

// The handlers of the player's events and the refresh-from-track rule shared with start-up.

#include "watcher/Player.h"

#include <string>
#include <string_view>

namespace tessaly {

// What the handlers need from the main window.
class PlayerEventHost {
public:
    virtual ~PlayerEventHost() = default;
    virtual void NowPlaying(std::u16string_view sArtist, std::u16string_view sAlbum,
                            std::u16string_view sTitle, std::u16string_view sFormat,
                            std::u16string_view sMsg) = 0;
    // The current format string (frmMain's sFormatString).
    virtual std::u16string FormatString() const = 0;
    // The Exit menu command (frmMain's mnuExit_Click).
    virtual void ExitCommand() = 0;
};

// The modal question the player's quitting event asks: Yes and No, Yes the default.
inline constexpr char16_t kQuitQuestionTitle[] = u"Tessaly";
inline constexpr char16_t kQuitQuestionText[] =
    u"Itunes Closing, would you like Tessaly to shutdown?";

class QuitQuestion {
public:
    virtual ~QuitQuestion() = default;
    // Shows the question and waits for the answer; true for Yes.
    virtual bool AskShutdown() = 0;
};

// The handlers. A failure propagates to the player connection, which reports it at the event
// loop's boundary.
class PlayerEventHandlers : public PlayerEvents {
public:
    PlayerEventHandlers(Player& iTune, PlayerEventHost& host, QuitQuestion& question);

    void iTune_OnPlayerPlayEvent(const PlayerTrack& iTrack);
    void iTune_OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack);
    // At most one question is open: quitting events that arrive while it waits for its answer
    // are part of the same quit.
    void iTune_OnQuittingEvent();

    // Local form: Artist, Album, Name, no message.
    void RefreshLocal(const PlayerTrack& track);
    // Refresh-from-track rule: the radio form for "MPEG audio stream", else the local form.
    void RefreshFromTrack(const PlayerTrack& track);

    // PlayerEvents: each is its iTune_ handler.
    void OnPlayerPlayEvent(const PlayerTrack& iTrack) override { iTune_OnPlayerPlayEvent(iTrack); }
    void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack) override
    {
        iTune_OnPlayerPlayingTrackChangedEvent(iTrack);
    }
    void OnQuittingEvent() override { iTune_OnQuittingEvent(); }
    void OnAboutToPromptUserToQuitEvent() override {}
    void OnCOMCallsEnabledEvent() override {}

private:
    Player& iTune_;
    PlayerEventHost& host_;
    QuitQuestion& question_;
    bool asking_ = false;
};

} // namespace tessaly
