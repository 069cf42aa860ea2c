#pragma once

#include "watcher/mpris/MessageDecoder.h"
#include "watcher/mpris/PlaybackTracker.h"
#include "watcher/Player.h"

#include <deque>
#include <map>
#include <memory>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>

class QDBusServiceWatcher;

namespace tessaly::mpris {

inline constexpr char kMprisPrefix[] = "org.mpris.MediaPlayer2.";
inline constexpr char kMprisPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
// No call on the bus waits longer than this.
inline constexpr int kCallTimeoutMs = 2000;
// Quiet time after a player's last signal before its state is read and announced.
inline constexpr int kDebounceMs = 250;
// ... but no longer than this after the first signal not yet read: a player that changes faster
// than the quiet time is still followed, its newest state announced.
inline constexpr int kMaxDebounceWaitMs = 1000;
// Some players change what a stream plays without a signal (VLC); the Metadata of a stream they
// play is read this often. A player seen to signal its title changes is not polled.
inline constexpr int kStreamPollMs = 2000;
// Until a player's first title change shows which kind it is, its stream is read this often: a
// silent player's first change is then noticed late once, and a signalling one costs little.
inline constexpr int kStreamProbeMs = 10000;

// A track as it was when the event was raised.
class MprisTrack : public PlayerTrack {
public:
    explicit MprisTrack(const TrackTexts& texts);
    std::u16string KindAsString() const override { return kind_; }
    std::u16string Artist() const override { return artist_; }
    std::u16string Album() const override { return album_; }
    std::u16string Name() const override { return name_; }

private:
    std::u16string kind_, artist_, album_, name_;
};

// Lets a warning that repeats through once a minute, telling how many were held back meanwhile.
class WarningLimit {
public:
    static constexpr qint64 kIntervalMs = 60'000;
    // True when this occurrence is to be logged; heldBack() then tells how many were not.
    bool allow(qint64 nowMs);
    int heldBack() const { return heldBack_; }

private:
    qint64 last_ = -1;
    int heldBack_ = 0;
    int suppressed_ = 0;
};

class MprisConnection : public QObject, public Player {
    Q_OBJECT
public:
    // Reads the players already on the bus before it returns, so CurrentTrack is known at once.
    explicit MprisConnection(QDBusConnection bus, QObject* parent = nullptr);
    ~MprisConnection() override;

    void SetEvents(PlayerEvents* events) override { events_ = events; }
    std::unique_ptr<PlayerTrack> CurrentTrack() override;
    std::u16string CurrentStreamTitle() override;
    PlayerResult AppCommandMessageProcessingEnabled(bool enabled) override;
    PlayerResult PreviousTrack() override;
    PlayerResult NextTrack() override;
    PlayerResult PlayPause() override;

    // The bus name of the player followed now; empty when there is none.
    QString activeName() const { return active_; }
    // True while the followed player plays a stream and has not been seen to signal its title
    // changes: the only time a timer runs without a signal.
    bool isPollingStream() const { return poll_.isActive(); }

private Q_SLOTS:
    void onNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void onBusDisconnected();

private:
    // How a player tells that a stream's title changed, as far as seen.
    enum class TitleSignals {
        Unknown, // no change seen yet: its stream is polled now and then
        Signals, // a title change came with a signal: no poll
        Silent,  // a poll found a change no signal told of: polled for good
    };
    struct Endpoint {
        QString name;
        QString owner;
        uint pid = 0;
        quint64 activity = 0;
        quint64 seen = 0;       // order of appearance: the first name of a process stands for it
        quint64 generation = 0; // of the newest read asked for
        bool reading = false;
        qint64 unreadSince = -1;        // clock time of the first signal not yet read; -1: none
        bool metadataSignalled = false; // a signal carried Metadata since the last read began
        TitleSignals titles = TitleSignals::Unknown;
        PlaybackTracker tracker;
        std::unique_ptr<QTimer> debounce;
    };
    enum class EventKind { Play, TrackChanged, Quitting };
    struct PendingEvent {
        EventKind kind;
        TrackTexts texts;
    };

    void discover();
    Endpoint& addEndpoint(const QString& name, const QString& owner);
    void removeEndpoint(const QString& name);
    Endpoint* find(const QString& name);
    Endpoint* active();
    // The first name seen of the endpoint's process; the others of the same process are ignored.
    const Endpoint& representative(const Endpoint& e) const;
    bool isRepresentative(const Endpoint& e) const { return &representative(e) == &e; }
    void chooseActive();
    // Reads the endpoint once its signals settle, or once the longest wait is over.
    void schedule(Endpoint& e);
    void read(Endpoint& e, ReadKind kind = ReadKind::All);
    void onSignal(const DecodedSignal& signal);
    void onRead(const QString& name, quint64 generation, ReadKind kind, bool signalled,
                const DecodedRead& reply);
    static int pollInterval(const Endpoint& e);
    // The stream poll's tick: reads the followed player's Metadata unless it told it lately.
    void pollStream();
    void updatePoll();
    PlayerResult command(const char* method);
    void raise(EventKind kind, const TrackTexts& texts = {});
    void deliver();
    uint processIdOf(const QString& owner);
    // True when the session bus is gone: nothing runs any more until the program ends.
    bool busLost();
    void loseBus();

    QDBusConnection bus_;
    QDBusServiceWatcher* players_ = nullptr;
    QThread decodeThread_;
    MessageDecoder* decoder_ = nullptr; // lives on decodeThread_
    PlayerEvents* events_ = nullptr;
    std::map<QString, std::unique_ptr<Endpoint>> endpoints_; // in name order
    QString active_;
    quint64 activityClock_ = 10;
    quint64 seenClock_ = 0;
    QElapsedTimer clock_;
    QTimer poll_;
    std::deque<PendingEvent> pending_;
    bool delivering_ = false;
    bool lostBus_ = false;
    WarningLimit readWarnings_;
    bool askingQuit_ = false; // a quitting event's handler is running (and may wait for the user)
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tessaly::mpris
