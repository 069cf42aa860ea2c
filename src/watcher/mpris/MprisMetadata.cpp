#include "watcher/mpris/MprisMetadata.h"

#include "common/Text.h"
#include "watcher/Player.h"

#include <limits>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QStringList>
#include <QUrl>

namespace tessaly::mpris {

namespace {

// Players may nest variants and lists; a bound keeps a hostile value from recursing far.
constexpr int kMaxDepth = 8;

// Cut to the limit, without leaving half of a surrogate pair at the end.
QString Capped(QString text)
{
    const std::u16string_view units(QStringView(text).utf16(), std::size_t(text.size()));
    text.truncate(qsizetype(WholeCharactersWithin(units, kMaxPlayerTextUnits)));
    return text;
}

QString Joined(const QStringList& parts)
{
    QString joined;
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        if (!joined.isEmpty())
            joined += QStringLiteral(", ");
        joined += Capped(part);
        // A list of a million names stops costing anything once the text is full.
        if (joined.size() >= kMaxTextUnits)
            break;
    }
    return Capped(joined);
}

QString TextAt(const QVariant& value, int depth);

// The texts of a list's items, joined; items past a full text are not read.
QString JoinedItems(const QVariantList& items, int depth)
{
    QStringList parts;
    qsizetype units = 0;
    for (const QVariant& item : items) {
        parts << TextAt(item, depth + 1);
        units += parts.constLast().size();
        if (units >= kMaxTextUnits)
            break;
    }
    return Joined(parts);
}

QString ArgumentText(const QDBusArgument& arg, int depth)
{
    const QString signature = arg.currentSignature();
    if (signature == QLatin1String("as"))
        return Joined(qdbus_cast<QStringList>(arg));
    if (signature == QLatin1String("av"))
        return JoinedItems(qdbus_cast<QVariantList>(arg), depth);
    return {};
}

QString TextAt(const QVariant& value, int depth)
{
    if (depth > kMaxDepth || !value.isValid())
        return {};
    const int type = value.metaType().id();
    if (type == QMetaType::QString)
        return Capped(value.toString());
    if (type == QMetaType::QByteArray)
        // No UTF-8 sequence gives fewer units than a third of its bytes: decode no more.
        return Capped(QString::fromUtf8(value.toByteArray().left(3 * kMaxTextUnits)));
    if (type == QMetaType::QStringList)
        return Joined(value.toStringList());
    if (type == QMetaType::QVariantList)
        return JoinedItems(value.toList(), depth);
    if (type == qMetaTypeId<QDBusVariant>())
        return TextAt(value.value<QDBusVariant>().variant(), depth + 1);
    if (type == qMetaTypeId<QDBusObjectPath>())
        return Capped(value.value<QDBusObjectPath>().path());
    if (type == qMetaTypeId<QDBusSignature>())
        return Capped(value.value<QDBusSignature>().signature());
    if (type == qMetaTypeId<QDBusArgument>())
        return ArgumentText(value.value<QDBusArgument>(), depth);
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Double:
        return value.toString();
    default:
        return {};
    }
}

QString Clean(QString text)
{
    // A NUL can only come from bytes; it would cut the text short in every C API further on.
    text.remove(QChar(u'\0'));
    return text;
}

QString Text(const QVariantMap& metadata, const char* key)
{
    const auto it = metadata.constFind(QLatin1String(key));
    return it == metadata.constEnd() ? QString() : Clean(TextAt(*it, 0));
}

// A title that only repeats the url's file name tells nothing about what is playing.
bool IsPlaceholder(const QString& title, const QString& url)
{
    if (title.isEmpty())
        return false;
    if (title == url)
        return true;
    const QUrl parsed(url);
    const QString encoded = parsed.fileName(QUrl::FullyEncoded);
    const QString decoded = parsed.fileName(QUrl::FullyDecoded);
    // Audacious leaves the extension off.
    const QString stem = decoded.section(u'.', 0, 0);
    return (!encoded.isEmpty() && title == encoded) || (!decoded.isEmpty() && title == decoded) ||
           (!stem.isEmpty() && title == stem);
}

} // namespace

bool TrackTexts::isStream() const
{
    return kind == QString::fromUtf16(kStreamKind);
}

QString MetadataText(const QVariant& value)
{
    return Clean(TextAt(value, 0));
}

std::optional<qint64> MetadataLength(const QVariant& value)
{
    QVariant v = value;
    for (int depth = 0; depth < kMaxDepth && v.metaType().id() == qMetaTypeId<QDBusVariant>();
         ++depth)
        v = v.value<QDBusVariant>().variant();
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return v.toLongLong();
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        return u > qulonglong(std::numeric_limits<qint64>::max())
                   ? std::numeric_limits<qint64>::max()
                   : qint64(u);
    }
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (!(d == d)) // NaN
            return std::nullopt;
        if (d >= 9.2e18)
            return std::numeric_limits<qint64>::max();
        if (d <= -9.2e18)
            return std::numeric_limits<qint64>::min();
        return qint64(d);
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 n = v.toString().trimmed().toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

QVariantMap MetadataMap(const QVariant& property)
{
    QVariant v = property;
    if (v.metaType().id() == qMetaTypeId<QDBusVariant>())
        v = v.value<QDBusVariant>().variant();
    if (v.metaType().id() == QMetaType::QVariantMap)
        return v.toMap();
    if (v.metaType().id() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument arg = v.value<QDBusArgument>();
        if (arg.currentSignature() == QLatin1String("a{sv}"))
            return qdbus_cast<QVariantMap>(arg);
    }
    return {};
}

QVariantMap SlimMetadata(const QVariantMap& metadata)
{
    QVariantMap slim;
    for (const char* key :
         {kKeyArtist, kKeyAlbum, kKeyTitle, kKeyUrl, kKeyTrackId, kKeyNowPlaying}) {
        const auto it = metadata.constFind(QLatin1String(key));
        if (it != metadata.constEnd())
            slim.insert(it.key(), Clean(TextAt(*it, 0)));
    }
    if (const auto length = MetadataLength(metadata.value(QLatin1String(kKeyLength))))
        slim.insert(QLatin1String(kKeyLength), *length);
    return slim;
}

bool HasNetworkScheme(const QString& url)
{
    const int colon = url.indexOf(u':');
    if (colon <= 0)
        return false;
    const QString scheme = url.left(colon).toLower();
    static const QStringList kSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                         QStringLiteral("icy"),  QStringLiteral("icyx"),
                                         QStringLiteral("mms"),  QStringLiteral("rtsp"),
                                         QStringLiteral("rtmp")};
    return kSchemes.contains(scheme);
}

bool IsStream(const QVariantMap& metadata, bool lengthGrew)
{
    if (!HasNetworkScheme(Text(metadata, kKeyUrl)))
        return false;
    if (metadata.contains(QLatin1String(kKeyNowPlaying)) || lengthGrew)
        return true;
    const auto length = MetadataLength(metadata.value(QLatin1String(kKeyLength)));
    return !length || *length <= 0;
}

bool HasTrack(const QVariantMap& metadata)
{
    return !Text(metadata, kKeyUrl).isEmpty() || !Text(metadata, kKeyTitle).isEmpty();
}

TrackTexts MapMetadata(const QVariantMap& metadata, bool lengthGrew)
{
    TrackTexts texts;
    texts.artist = Text(metadata, kKeyArtist);
    texts.album = Text(metadata, kKeyAlbum);
    const QString title = Text(metadata, kKeyTitle);
    if (!IsStream(metadata, lengthGrew)) {
        texts.kind = QString::fromUtf16(kFileKind);
        texts.name = title;
        return texts;
    }
    texts.kind = QString::fromUtf16(kStreamKind);
    const QString url = Text(metadata, kKeyUrl);
    if (metadata.contains(QLatin1String(kKeyNowPlaying))) {
        // VLC names the station in the title once it knows it, and leaves it out before.
        texts.name = title.isEmpty() ? QUrl(url).host() : title;
        texts.streamTitle = Text(metadata, kKeyNowPlaying);
    } else {
        const QString host = QUrl(url).host();
        QString artist = texts.artist;
        // Audacious sends the station (icy-name) as the artist and the url's host as the album.
        if (!artist.isEmpty() && !host.isEmpty() && texts.album == host) {
            texts.album = artist;
            artist.clear();
        }
        // An artist equal to the station is the station, not an artist.
        if (artist == texts.album)
            artist.clear();
        texts.name = texts.album.isEmpty() ? host : texts.album;
        texts.streamTitle = title;
        if (!title.isEmpty() && !artist.isEmpty() && !IsPlaceholder(title, url))
            texts.streamTitle = artist + QStringLiteral(" - ") + title;
        // The artist is in the stream title now, or was the station: never a second time.
        texts.artist.clear();
    }
    if (IsPlaceholder(texts.streamTitle, url))
        texts.streamTitle.clear();
    return texts;
}

TrackIdentity IdentityOf(const QVariantMap& metadata)
{
    TrackIdentity id;
    id.url = Text(metadata, kKeyUrl);
    id.title = Text(metadata, kKeyTitle);
    id.artists = Text(metadata, kKeyArtist);
    id.album = Text(metadata, kKeyAlbum);
    id.hasNowPlaying = metadata.contains(QLatin1String(kKeyNowPlaying));
    id.nowPlaying = Text(metadata, kKeyNowPlaying);
    return id;
}

QString TrackIdOf(const QVariantMap& metadata)
{
    return Text(metadata, kKeyTrackId);
}

bool LengthWatch::observe(const QVariantMap& metadata)
{
    const QString url = Text(metadata, kKeyUrl);
    const auto length = MetadataLength(metadata.value(QLatin1String(kKeyLength)));
    if (url != url_) {
        url_ = url;
        last_ = length;
        grew_ = false;
        return false;
    }
    if (length && last_ && *length > *last_)
        grew_ = true;
    if (length)
        last_ = length;
    return grew_;
}

} // namespace tessaly::mpris
