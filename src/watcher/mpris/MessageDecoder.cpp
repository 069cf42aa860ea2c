#include "watcher/mpris/MessageDecoder.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "watcher/mpris/MprisConnection.h"

#include <QDBusPendingCallWatcher>

namespace tessaly::mpris {

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
// Players seen at once stay far below this; a flapping one leaves a trail of unique names.
constexpr qsizetype kMaxSeen = 64;

QVariantMap WithoutLength(QVariantMap metadata)
{
    metadata.remove(QLatin1String(kKeyLength));
    return metadata;
}

} // namespace

QDBusMessage ReadMessage(const QString& name, ReadKind kind)
{
    QDBusMessage m = QDBusMessage::createMethodCall(
        name, QLatin1String(kMprisPath), kPropertiesInterface,
        kind == ReadKind::All ? QStringLiteral("GetAll") : QStringLiteral("Get"));
    m << QLatin1String(kPlayerInterface);
    if (kind == ReadKind::Metadata)
        m << QStringLiteral("Metadata");
    return m;
}

DecodedRead DecodeRead(const QDBusMessage& reply, ReadKind kind)
{
    DecodedRead d;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        d.error = reply.errorMessage();
        return d;
    }
    d.ok = true;
    if (reply.arguments().isEmpty())
        return d;
    if (kind == ReadKind::All) {
        const PlayerRead full = ReadFromProperties(MetadataMap(reply.arguments().constFirst()));
        d.hasStatus = true;
        d.read.status = full.status;
        d.read.metadata = SlimMetadata(full.metadata);
    } else {
        d.read.metadata = SlimMetadata(MetadataMap(reply.arguments().constFirst()));
    }
    return d;
}

bool DecodeSignal(const QDBusMessage& message, DecodedSignal* decoded)
{
    const QList<QVariant> args = message.arguments();
    if (args.isEmpty() || args.constFirst().toString() != QLatin1String(kPlayerInterface))
        return false;
    decoded->sender = message.service();
    const QVariantMap changed = args.size() > 1 ? MetadataMap(args.at(1)) : QVariantMap();
    const auto status = changed.constFind(QStringLiteral("PlaybackStatus"));
    decoded->hasStatus = status != changed.constEnd();
    if (decoded->hasStatus)
        decoded->status = ParseStatus(*status);
    const auto metadata = changed.constFind(QStringLiteral("Metadata"));
    decoded->hasMetadata = metadata != changed.constEnd();
    if (decoded->hasMetadata)
        decoded->metadata = SlimMetadata(MetadataMap(*metadata));
    return true;
}

void MessageDecoder::read(const QDBusConnection& bus, const QDBusMessage& message, ReadKind kind,
                          ReadSink done)
{
    QDBusConnection connection = bus;
    QMetaObject::invokeMethod(
        this,
        [this, connection, message, kind, done = std::move(done)]() mutable {
            auto* watcher =
                new QDBusPendingCallWatcher(connection.asyncCall(message, kCallTimeoutMs), this);
            connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, kind, done] {
                watcher->deleteLater();
                Guarded(lcWatcher, "reading a player", [&] {
                    const DecodedRead r = DecodeRead(watcher->reply(), kind);
                    if (r.ok)
                        remember(watcher->reply().service(), r.hasStatus, r.read.status, true,
                                 r.read.metadata);
                    done(r);
                });
            });
        },
        Qt::QueuedConnection);
}

void MessageDecoder::onPropertiesChanged(const QDBusMessage& message)
{
    Guarded(lcWatcher, "a player's signal", [&] {
        DecodedSignal decoded;
        if (!DecodeSignal(message, &decoded))
            return;
        if (decoded.hasMetadata)
            noteMetadataHeard(decoded.sender);
        const bool news = tellsSomethingNew(decoded);
        remember(decoded.sender, decoded.hasStatus, decoded.status, decoded.hasMetadata,
                 decoded.metadata);
        if (news)
            onSignal_(std::move(decoded));
    });
}

void MessageDecoder::noteMetadataHeard(const QString& sender)
{
    const QMutexLocker lock(&heardLock_);
    if (!metadataHeard_.contains(sender) && metadataHeard_.size() >= kMaxSeen)
        metadataHeard_.clear();
    metadataHeard_.insert(sender, std::chrono::steady_clock::now());
}

qint64 MessageDecoder::msSinceMetadataFrom(const QString& sender) const
{
    const QMutexLocker lock(&heardLock_);
    const auto it = metadataHeard_.constFind(sender);
    if (it == metadataHeard_.constEnd())
        return -1;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 *it)
        .count();
}

bool MessageDecoder::tellsSomethingNew(const DecodedSignal& signal) const
{
    // Only a repeated Metadata is dropped: a signal of other properties may stand for a change
    // the player tells no other way, and a status alone costs no more than one read.
    if (!signal.hasMetadata)
        return true;
    const auto it = seen_.constFind(signal.sender);
    if (it == seen_.constEnd() || !it->hasMetadata ||
        WithoutLength(signal.metadata) != it->metadata)
        return true;
    return signal.hasStatus && (!it->hasStatus || signal.status != it->status);
}

void MessageDecoder::remember(const QString& sender, bool hasStatus, Status status,
                              bool hasMetadata, const QVariantMap& metadata)
{
    if (sender.isEmpty())
        return;
    if (!seen_.contains(sender) && seen_.size() >= kMaxSeen)
        seen_.clear();
    Seen& s = seen_[sender];
    if (hasStatus) {
        s.hasStatus = true;
        s.status = status;
    }
    if (hasMetadata) {
        s.hasMetadata = true;
        s.metadata = WithoutLength(metadata);
    }
}

} // namespace tessaly::mpris
