#include "watcher/mpris/PlaybackTracker.h"

namespace tessaly::mpris {

Status ParseStatus(const QVariant& value)
{
    const QString text = MetadataText(value);
    if (text == QLatin1String("Playing"))
        return Status::Playing;
    if (text == QLatin1String("Paused"))
        return Status::Paused;
    return Status::Stopped;
}

PlayerRead ReadFromProperties(const QVariantMap& properties)
{
    PlayerRead read;
    read.status = ParseStatus(properties.value(QStringLiteral("PlaybackStatus")));
    read.metadata = MetadataMap(properties.value(QStringLiteral("Metadata")));
    return read;
}

void PlaybackTracker::noteStatus(Status status, qint64 nowMs)
{
    if (lastSeen_ == Status::Playing && status == Status::Stopped)
        leftPlayingAt_ = nowMs;
    if (lastSeen_ != Status::Playing && status == Status::Playing)
        blip_ =
            lastSeen_ == Status::Stopped && leftPlayingAt_ >= 0 && nowMs - leftPlayingAt_ < kBlipMs;
    lastSeen_ = status;
}

void PlaybackTracker::noteMetadata(const QVariantMap& metadata)
{
    lengths_.observe(metadata);
}

void PlaybackTracker::settle(const PlayerRead& read)
{
    lastSeen_ = read.status;
    const bool grew = lengths_.observe(read.metadata);
    take(read, grew);
    if (texts_.isStream())
        announcedStreamTitle_ = texts_.streamTitle;
}

void PlaybackTracker::take(const PlayerRead& read, bool lengthGrew)
{
    status_ = read.status;
    hasTrack_ = HasTrack(read.metadata);
    identity_ = IdentityOf(read.metadata);
    trackId_ = TrackIdOf(read.metadata);
    texts_ = MapMetadata(read.metadata, lengthGrew);
}

Decision PlaybackTracker::evaluate(const PlayerRead& read, qint64 nowMs)
{
    noteStatus(read.status, nowMs);
    const bool grew = lengths_.observe(read.metadata);
    const TrackIdentity identity = IdentityOf(read.metadata);
    const QString trackId = TrackIdOf(read.metadata);
    const TrackTexts texts = MapMetadata(read.metadata, grew);
    const bool hasTrack = HasTrack(read.metadata);

    Decision d;
    // A network url announced as a file could be a stream still buffering; one look later tells.
    if (read.status == Status::Playing && hasTrack && !texts.isStream() &&
        HasNetworkScheme(identity.url) && identity.url != recheckedUrl_ &&
        (!hasTrack_ || identity.url != identity_.url)) {
        recheckedUrl_ = identity.url;
        d.recheck = true;
        return d;
    }
    if (read.status == Status::Playing && hasTrack) {
        const bool wasPlaying = status_ == Status::Playing || blip_;
        const bool sameUrl = identity.url == identity_.url;
        bool otherTrack = !hasTrack_ || !sameUrl;
        if (!otherTrack && identity.url.isEmpty())
            otherTrack = trackId != trackId_ && identity != identity_;
        if (!sameUrl)
            announcedStreamTitle_.clear();

        if (!wasPlaying || otherTrack) {
            d.play = true;
            d.startedPlaying = !wasPlaying;
        }
        if (texts.isStream()) {
            // Every title heard is announced once, the first after the start included.
            d.trackChanged = !texts.streamTitle.isEmpty() &&
                             (texts.streamTitle != announcedStreamTitle_ || !texts_.isStream());
            if (d.trackChanged)
                announcedStreamTitle_ = texts.streamTitle;
        } else if (!d.play) {
            d.trackChanged = identity != identity_ || texts != texts_;
        }
    }
    blip_ = false;
    take(read, grew);
    return d;
}

} // namespace tessaly::mpris
