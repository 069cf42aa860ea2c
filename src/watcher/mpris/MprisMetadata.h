#pragma once

// How an MPRIS player's Metadata map becomes the texts of a track. Pure functions: players send
// every key in whatever D-Bus type they like, so each reader accepts any QVariant (including a
// QDBusArgument the bus left unparsed) and never fails; what cannot be read is an empty text.

#include "watcher/Player.h"

#include <optional>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace tessaly::mpris {

inline constexpr char kKeyArtist[] = "xesam:artist";
inline constexpr char kKeyAlbum[] = "xesam:album";
inline constexpr char kKeyTitle[] = "xesam:title";
inline constexpr char kKeyUrl[] = "xesam:url";
inline constexpr char kKeyLength[] = "mpris:length";
inline constexpr char kKeyTrackId[] = "mpris:trackid";
inline constexpr char kKeyNowPlaying[] = "vlc:nowplaying";

// Every text read from the bus is cut to the players' limit.
inline constexpr qsizetype kMaxTextUnits = qsizetype(kMaxPlayerTextUnits);

// The texts Tessaly reads from one track.
struct TrackTexts {
    QString kind;        // kStreamKind or kFileKind
    QString artist;      // xesam:artist joined with ", "
    QString album;       // xesam:album
    QString name;        // song title, or the station for a stream
    QString streamTitle; // what a stream is playing now; empty for files and placeholders

    bool isStream() const;
    bool operator==(const TrackTexts&) const = default;
};

// What tells one track from another. Length, position and track id never take part: players
// change them without the track changing.
struct TrackIdentity {
    QString url;
    QString title;
    QString artists;
    QString album;
    QString nowPlaying;
    bool hasNowPlaying = false;

    bool operator==(const TrackIdentity&) const = default;
};

// The text of one value, cut to kMaxTextUnits: strings as they are, bytes as UTF-8 (invalid
// sequences replaced), lists joined with ", ", numbers and booleans in decimal, anything else
// empty.
QString MetadataText(const QVariant& value);
// A length in microseconds when the value is a number (or a text holding one).
std::optional<qint64> MetadataLength(const QVariant& value);
// The Metadata property as a map, whether it arrived parsed or as a raw a{sv} argument.
QVariantMap MetadataMap(const QVariant& property);

// Only what the mapping reads, each value already in its final form: the keys above, their texts
// cut to kMaxTextUnits and the length as a number. It maps, identifies and measures exactly as
// the full map does, and costs little to copy between threads or keep.
QVariantMap SlimMetadata(const QVariantMap& metadata);

// True for the schemes of internet streams (http, https, icy, icyx, mms, rtsp, rtmp).
bool HasNetworkScheme(const QString& url);

// A stream: a network url and either no positive length, a length seen growing, or
// vlc:nowplaying.
bool IsStream(const QVariantMap& metadata, bool lengthGrew);

// A track is there when the metadata names one: a url or a title. Players announce "nothing" as
// a track id alone (mpv's idle /noplaylist, .../TrackList/NoTrack), whatever their status says.
bool HasTrack(const QVariantMap& metadata);

TrackTexts MapMetadata(const QVariantMap& metadata, bool lengthGrew);
TrackIdentity IdentityOf(const QVariantMap& metadata);
QString TrackIdOf(const QVariantMap& metadata);

// Remembers the length of one url across reads: a stream's length grows as it plays.
class LengthWatch {
public:
    // Takes one read of the metadata; true when the length of the same url has grown since.
    bool observe(const QVariantMap& metadata);
    bool grew() const { return grew_; }

private:
    QString url_;
    std::optional<qint64> last_;
    bool grew_ = false;
};

} // namespace tessaly::mpris
