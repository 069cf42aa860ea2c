#pragma once

// Decides, from successive full reads of one player, which events a change deserves. Pure logic
// with a caller-supplied clock, so every rule is testable without a bus.

#include "watcher/mpris/MprisMetadata.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace tessaly::mpris {

enum class Status { Stopped, Paused, Playing };

// PlaybackStatus of any type; anything unknown counts as Stopped.
Status ParseStatus(const QVariant& value);

// One complete read of a player's properties.
struct PlayerRead {
    Status status = Status::Stopped;
    QVariantMap metadata;
};
// The read from the properties map of GetAll.
PlayerRead ReadFromProperties(const QVariantMap& properties);

// The events one read gives rise to, in this order.
struct Decision {
    bool play = false;           // a track began playing
    bool trackChanged = false;   // the playing track's texts changed (or a stream's first title)
    bool startedPlaying = false; // playback entered Playing (not a blip): the player became active
    // Nothing announced yet: read again after kRecheckMs to learn whether this is a stream.
    bool recheck = false;
};

class PlaybackTracker {
public:
    // Blips stay this short: a Stopped status shorter than this inside a change is part of it.
    static constexpr qint64 kBlipMs = 300;
    // A network url that arrives with a positive length may be a stream still buffering (mpv):
    // its length grows within a second or so. It is announced once that is known.
    static constexpr int kRecheckMs = 1200;

    // A status the player reported (in a signal or a read) at nowMs.
    void noteStatus(Status status, qint64 nowMs);
    // Metadata the player reported in a signal; only the length is taken from it.
    void noteMetadata(const QVariantMap& metadata);

    // Takes a read as the known state without announcing anything (what was there before us).
    void settle(const PlayerRead& read);
    // Takes a read and tells what to announce for it.
    Decision evaluate(const PlayerRead& read, qint64 nowMs);

    Status status() const { return status_; }
    bool hasTrack() const { return hasTrack_; }
    const TrackTexts& texts() const { return texts_; }
    bool streamPlaying() const { return status_ == Status::Playing && texts_.isStream(); }

private:
    void take(const PlayerRead& read, bool lengthGrew);

    Status status_ = Status::Stopped;
    bool hasTrack_ = false;
    TrackIdentity identity_;
    QString trackId_;
    TrackTexts texts_;
    // The last stream title announced, so that each title is announced once.
    QString announcedStreamTitle_;
    LengthWatch lengths_;
    QString recheckedUrl_; // the network url whose first announcement waited once already

    Status lastSeen_ = Status::Stopped;
    qint64 leftPlayingAt_ = -1;
    bool blip_ = false;
};

} // namespace tessaly::mpris
