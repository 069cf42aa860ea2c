#pragma once

// The player as the rest of Tessaly sees it: the operations and events of the original
// automation interface, under their original names. Free of Qt so that the Windows COM backend
// can implement it; text crosses this boundary as UTF-16.

#include <cstddef>
#include <memory>
#include <string>

namespace tessaly {

// Every text a player backend hands over is cut to this many UTF-16 units (never rejected): a
// hostile or broken player cannot make the program format, draw or publish megabytes.
inline constexpr std::size_t kMaxPlayerTextUnits = 4096;

// One track as the player describes it. Reads never fail: a text the player does not have is empty.
class PlayerTrack {
public:
    virtual ~PlayerTrack() = default;
    virtual std::u16string KindAsString() const = 0;
    virtual std::u16string Artist() const = 0;
    virtual std::u16string Album() const = 0;
    virtual std::u16string Name() const = 0;
};

// Receives the player's events, on the user-interface thread, one at a time.
class PlayerEvents {
public:
    virtual ~PlayerEvents() = default;
    virtual void OnPlayerPlayEvent(const PlayerTrack& iTrack) = 0;
    virtual void OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack) = 0;
    virtual void OnQuittingEvent() = 0;
    virtual void OnAboutToPromptUserToQuitEvent() = 0;
    virtual void OnCOMCallsEnabledEvent() = 0;
};

// Outcome of a command sent to the player.
enum class PlayerResult {
    Ok,
    NoPlayer, // no player is connected (none running, or it has quit)
    Failed,   // the player refused, timed out or vanished mid-call
};

class Player {
public:
    virtual ~Player() = default;

    // Connects the event handlers; null disconnects. Not owned.
    virtual void SetEvents(PlayerEvents* events) = 0;

    // The track that is loaded (playing or paused), or null when there is none.
    virtual std::unique_ptr<PlayerTrack> CurrentTrack() = 0;
    // The title now playing on an internet stream; empty when none is known.
    virtual std::u16string CurrentStreamTitle() = 0;

    virtual PlayerResult AppCommandMessageProcessingEnabled(bool enabled) = 0;
    virtual PlayerResult PreviousTrack() = 0;
    virtual PlayerResult NextTrack() = 0;
    virtual PlayerResult PlayPause() = 0;
};

// The kind text that marks an internet radio stream (compared exactly, case-sensitive).
inline constexpr char16_t kStreamKind[] = u"MPEG audio stream";
// The kind text of every other track.
inline constexpr char16_t kFileKind[] = u"MPEG audio file";

} // namespace tessaly
