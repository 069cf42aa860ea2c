#pragma once

// Demarshals what players send on a thread of its own. Qt leaves a reply's or a signal's maps
// undecoded until they are read; reading them is what costs (a hostile player's 16 MiB title takes
// hundreds of milliseconds), so they are read here and only the capped texts the connection needs
// cross to the user-interface thread.

#include "watcher/mpris/PlaybackTracker.h"

#include <chrono>
#include <functional>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace tessaly::mpris {

// A PropertiesChanged signal of a player, reduced.
struct DecodedSignal {
    QString sender;
    bool hasStatus = false;
    Status status = Status::Stopped;
    bool hasMetadata = false;
    QVariantMap metadata; // SlimMetadata
};

// What a read of a player's properties brought.
enum class ReadKind {
    All,      // GetAll of the player interface: status and metadata
    Metadata, // Get of Metadata alone: the stream poll, which needs nothing else
};
struct DecodedRead {
    bool ok = false;
    QString error;          // when not ok
    bool hasStatus = false; // All reads carry the status, Metadata reads do not
    PlayerRead read;        // its metadata is SlimMetadata
};

// The call that reads a player.
QDBusMessage ReadMessage(const QString& name, ReadKind kind);
// A reply to ReadMessage, reduced; any reply (error, wrong types) gives a value.
DecodedRead DecodeRead(const QDBusMessage& reply, ReadKind kind);
// A signal, reduced; false when it is not about the player interface.
bool DecodeSignal(const QDBusMessage& message, DecodedSignal* decoded);

// Lives on the decoding thread. Hands each result to the sink, which must post it on to the
// thread that uses it; results leave in the order the messages came. A signal whose Metadata
// repeats the player's last (only its length grown, as mpv sends every second on a stream) is
// dropped here: it would wake the user-interface thread and cost a read to learn nothing.
class MessageDecoder : public QObject {
    Q_OBJECT
public:
    using SignalSink = std::function<void(DecodedSignal)>;
    using ReadSink = std::function<void(DecodedRead)>;

    explicit MessageDecoder(SignalSink onSignal) : onSignal_(std::move(onSignal)) {}

    // Sends the read from the decoding thread; `done` gets its result there.
    void read(const QDBusConnection& bus, const QDBusMessage& message, ReadKind kind,
              ReadSink done);
    // How long ago a signal of the sender carried its whole Metadata, repeated or not; -1 when
    // none has. Safe from any thread.
    qint64 msSinceMetadataFrom(const QString& sender) const;

public Q_SLOTS:
    void onPropertiesChanged(const QDBusMessage& message);

private:
    // The last status and metadata (without length) each player sent, by unique name.
    struct Seen {
        bool hasStatus = false;
        Status status = Status::Stopped;
        bool hasMetadata = false;
        QVariantMap metadata;
    };
    bool tellsSomethingNew(const DecodedSignal& signal) const;
    void remember(const QString& sender, bool hasStatus, Status status, bool hasMetadata,
                  const QVariantMap& metadata);

    void noteMetadataHeard(const QString& sender);

    SignalSink onSignal_;
    QHash<QString, Seen> seen_;
    mutable QMutex heardLock_;
    QHash<QString, std::chrono::steady_clock::time_point> metadataHeard_; // under heardLock_
};

} // namespace tessaly::mpris
