// libFuzzer target: arbitrary Metadata maps, of any value types, through the mapping to track
// texts and through the event decisions.
//
// Input: one flags byte (bit 0: the length was seen growing; bits 1-2: playback status), then
// records of [key][type][size][size bytes of data]. A key byte below 0xF0 picks a known key,
// else the data names the key. The type picks how the data becomes a value; type bit 7 repeats
// the data 64 times, for long texts.

#include "watcher/mpris/MprisMetadata.h"
#include "watcher/mpris/PlaybackTracker.h"
#include "watcher/Player.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>

using namespace tessaly::mpris;

namespace {

const char* const kKeys[] = {
    kKeyArtist,  kKeyAlbum,      kKeyTitle,           kKeyUrl,        kKeyLength,
    kKeyTrackId, kKeyNowPlaying, "xesam:trackNumber", "mpris:artUrl", "xesam:albumArtist"};

QVariant ValueOf(std::uint8_t type, const QByteArray& data, int depth)
{
    switch (type % 12) {
    case 0:
        return QString::fromUtf8(data);
    case 1:
        return data;
    case 2:
        return QString::fromUtf8(data).split(u',');
    case 3: {
        qint64 n = 0;
        std::memcpy(&n, data.constData(),
                    std::min<std::size_t>(sizeof n, std::size_t(data.size())));
        return QVariant::fromValue<qlonglong>(n);
    }
    case 4: {
        double d = 0;
        std::memcpy(&d, data.constData(),
                    std::min<std::size_t>(sizeof d, std::size_t(data.size())));
        return d;
    }
    case 5:
        return !data.isEmpty() && data.at(0) != 0;
    case 6:
        return QVariant::fromValue(QDBusObjectPath(QString::fromUtf8(data)));
    case 7: {
        QVariantList list;
        if (depth < 4)
            for (const QByteArray& part : data.split(','))
                list << ValueOf(part.isEmpty() ? 0 : std::uint8_t(part.at(0)), part.mid(1),
                                depth + 1);
        return list;
    }
    case 8:
        return depth < 4
                   ? QVariant::fromValue(QDBusVariant(ValueOf(
                         data.isEmpty() ? 0 : std::uint8_t(data.at(0)), data.mid(1), depth + 1)))
                   : QVariant();
    case 9:
        return QVariant::fromValue<uint>(data.isEmpty() ? 0u : std::uint8_t(data.at(0)) * 1000003u);
    case 10:
        return QString::fromUtf8(data).toInt();
    default:
        return QVariant();
    }
}

QVariantMap Decode(const std::uint8_t* bytes, std::size_t size, std::size_t& pos)
{
    QVariantMap map;
    while (pos + 3 <= size) {
        const std::uint8_t key = bytes[pos];
        const std::uint8_t type = bytes[pos + 1];
        const std::size_t len = std::min<std::size_t>(bytes[pos + 2], size - pos - 3);
        QByteArray data(reinterpret_cast<const char*>(bytes + pos + 3), qsizetype(len));
        pos += 3 + len;
        if (key == 0xFF) // ends this map; what follows is the next read
            break;
        if (type & 0x80)
            data = data.repeated(64);
        const QString name = key < 0xF0 ? QString::fromLatin1(kKeys[key % std::size(kKeys)])
                                        : QString::fromUtf8(data.left(16));
        map.insert(name, ValueOf(type & 0x7F, data, 0));
    }
    return map;
}

void Check(const TrackTexts& t, bool stream)
{
    const bool kindOk = t.kind == QString::fromUtf16(tessaly::kStreamKind) ||
                        t.kind == QString::fromUtf16(tessaly::kFileKind);
    if (!kindOk || t.isStream() != stream || (!stream && !t.streamTitle.isEmpty()))
        std::abort();
    for (const QString* s : {&t.artist, &t.album, &t.name, &t.streamTitle})
        if (s->contains(QChar(u'\0')))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool grew = bytes[0] & 1;
    const Status status = Status((bytes[0] >> 1) % 3);
    std::size_t pos = 1;
    PlaybackTracker tracker;
    qint64 now = 0;
    // Several maps in a row: the reads of one player over time.
    while (pos < size) {
        const std::size_t start = pos;
        const QVariantMap md = Decode(bytes, size, pos);
        if (pos == start) // a tail too short for a record
            break;
        const TrackTexts texts = MapMetadata(md, grew);
        Check(texts, IsStream(md, grew));
        // What the decoding thread hands on must tell the same track as the full map.
        const QVariantMap slim = SlimMetadata(md);
        if (!(MapMetadata(slim, grew) == texts) || !(IdentityOf(slim) == IdentityOf(md)) ||
            TrackIdOf(slim) != TrackIdOf(md) || HasTrack(slim) != HasTrack(md) ||
            IsStream(slim, grew) != IsStream(md, grew))
            std::abort();
        tracker.noteStatus(status, now);
        tracker.evaluate({status, md}, now += 100);
        // Without a track the tracker's texts are not read; there is nothing to hold to a form.
        if (tracker.hasTrack())
            Check(tracker.texts(), tracker.texts().isStream());
        for (const auto& value : md)
            MetadataLength(value);
    }
    return 0;
}
