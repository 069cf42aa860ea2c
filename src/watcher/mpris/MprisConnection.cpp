#include "watcher/mpris/MprisConnection.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "watcher/mpris/MprisPlayer.h"

#include <algorithm>
#include <exception>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <utility>
#include <vector>

namespace tessaly {

std::unique_ptr<Player> CreateMprisPlayer(QDBusConnection bus)
{
    if (!bus.isConnected())
        return nullptr;
    return std::make_unique<mpris::MprisConnection>(bus);
}

} // namespace tessaly

namespace tessaly::mpris {

namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
// libdbus tells its own connection's end with this signal; it never crosses the bus.
const QString kLocalPath = QStringLiteral("/org/freedesktop/DBus/Local");
const QString kLocalInterface = QStringLiteral("org.freedesktop.DBus.Local");

bool IsPlayerName(const QString& name)
{
    return name.startsWith(QLatin1String(kMprisPrefix));
}

} // namespace

bool WarningLimit::allow(qint64 nowMs)
{
    if (last_ >= 0 && nowMs - last_ < kIntervalMs) {
        ++suppressed_;
        return false;
    }
    last_ = nowMs;
    heldBack_ = suppressed_;
    suppressed_ = 0;
    return true;
}

MprisTrack::MprisTrack(const TrackTexts& texts)
    : kind_(texts.kind.toStdU16String()), artist_(texts.artist.toStdU16String()),
      album_(texts.album.toStdU16String()), name_(texts.name.toStdU16String())
{}

MprisConnection::MprisConnection(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus))
{
    clock_.start();
    poll_.setInterval(kStreamProbeMs);
    connect(&poll_, &QTimer::timeout, this, [this] { pollStream(); });
    decoder_ = new MessageDecoder([this](DecodedSignal signal) {
        // Posted to this object's thread; dropped with it if it is gone by then.
        QMetaObject::invokeMethod(
            this, [this, signal = std::move(signal)] { onSignal(signal); }, Qt::QueuedConnection);
    });
    decoder_->moveToThread(&decodeThread_);
    decodeThread_.setObjectName(QStringLiteral("mpris-decode"));
    decodeThread_.start();
    // Subscribe before listing, so that no name can slip between the two. Only players' names:
    // the daemon then wakes us for no other client coming or going (an arg0namespace rule).
    players_ = new QDBusServiceWatcher(QLatin1String(kMprisPrefix).chopped(1) + u'*', bus_,
                                       QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(players_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &MprisConnection::onNameOwnerChanged);
    // Signals go straight to the decoding thread: their maps are never read on this one.
    bus_.connect(QString(), QLatin1String(kMprisPath), kPropertiesInterface,
                 QStringLiteral("PropertiesChanged"), decoder_,
                 SLOT(onPropertiesChanged(QDBusMessage)));
    bus_.connect(QString(), kLocalPath, kLocalInterface, QStringLiteral("Disconnected"), this,
                 SLOT(onBusDisconnected()));
    discover();
}

MprisConnection::~MprisConnection()
{
    *alive_ = false;
    bus_.disconnect(QString(), QLatin1String(kMprisPath), kPropertiesInterface,
                    QStringLiteral("PropertiesChanged"), decoder_,
                    SLOT(onPropertiesChanged(QDBusMessage)));
    bus_.disconnect(QString(), kLocalPath, kLocalInterface, QStringLiteral("Disconnected"), this,
                    SLOT(onBusDisconnected()));
    // Results already posted to this object go with it.
    decodeThread_.quit();
    decodeThread_.wait();
    delete decoder_;
}

void MprisConnection::discover()
{
    const QDBusMessage list =
        bus_.call(QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                 QStringLiteral("ListNames")),
                  QDBus::Block, kCallTimeoutMs);
    if (list.type() != QDBusMessage::ReplyMessage || list.arguments().isEmpty()) {
        qCWarning(lcWatcher, "cannot list the names on the bus: %s",
                  qPrintable(list.errorMessage()));
        return;
    }
    QStringList names;
    for (const QString& name : list.arguments().constFirst().toStringList())
        if (IsPlayerName(name))
            names << name;
    // Ask every player at once, then collect: one slow player costs the time limit only once.
    std::vector<std::pair<QString, QDBusPendingCall>> calls;
    for (const QString& name : names) {
        const QDBusReply<QString> owner = bus_.interface()->serviceOwner(name);
        if (!owner.isValid())
            continue;
        addEndpoint(name, owner.value());
        calls.emplace_back(name, bus_.asyncCall(ReadMessage(name, ReadKind::All), kCallTimeoutMs));
    }
    for (auto& [name, call] : calls) {
        call.waitForFinished();
        Endpoint* e = find(name);
        if (!e)
            continue;
        const PlayerRead r = DecodeRead(call.reply(), ReadKind::All).read;
        e->tracker.settle(r);
        // Those already playing were started before us: they tie, and name order decides.
        e->activity = r.status == Status::Playing ? 2 : r.status == Status::Paused ? 1 : 0;
    }
    chooseActive();
    updatePoll();
}

uint MprisConnection::processIdOf(const QString& owner)
{
    const QDBusReply<uint> pid = bus_.interface()->servicePid(owner);
    return pid.isValid() ? pid.value() : 0;
}

MprisConnection::Endpoint& MprisConnection::addEndpoint(const QString& name, const QString& owner)
{
    auto e = std::make_unique<Endpoint>();
    e->name = name;
    e->owner = owner;
    e->pid = processIdOf(owner);
    e->seen = ++seenClock_;
    e->debounce = std::make_unique<QTimer>();
    e->debounce->setSingleShot(true);
    e->debounce->setInterval(kDebounceMs);
    connect(e->debounce.get(), &QTimer::timeout, this, [this, name] {
        if (Endpoint* found = find(name))
            read(*found);
    });
    Endpoint& ref = *e;
    endpoints_[name] = std::move(e);
    return ref;
}

MprisConnection::Endpoint* MprisConnection::find(const QString& name)
{
    const auto it = endpoints_.find(name);
    return it == endpoints_.end() ? nullptr : it->second.get();
}

MprisConnection::Endpoint* MprisConnection::active()
{
    return active_.isEmpty() ? nullptr : find(active_);
}

const MprisConnection::Endpoint& MprisConnection::representative(const Endpoint& e) const
{
    const Endpoint* first = &e;
    for (const auto& [name, other] : endpoints_)
        if (other->seen < first->seen &&
            (other->owner == e.owner || (e.pid != 0 && other->pid == e.pid)))
            first = other.get();
    return *first;
}

void MprisConnection::chooseActive()
{
    Endpoint* best = nullptr;
    for (const auto& [name, e] : endpoints_)
        if (isRepresentative(*e) && (!best || e->activity > best->activity))
            best = e.get();
    active_ = best ? best->name : QString();
}

void MprisConnection::removeEndpoint(const QString& name)
{
    Endpoint* gone = find(name);
    if (!gone)
        return;
    const bool wasActive = name == active_;
    // Another name of the same process carries on: the player has not quit.
    Endpoint* heir = nullptr;
    for (const auto& [other, e] : endpoints_)
        if (other != name && (!heir || e->seen < heir->seen) &&
            (e->owner == gone->owner || (gone->pid != 0 && e->pid == gone->pid)))
            heir = e.get();
    const QString heirName = heir ? heir->name : QString();
    if (heir && isRepresentative(*gone)) {
        // Signals went to the name that stood for the process; its knowledge passes on.
        heir->activity = std::max(heir->activity, gone->activity);
        heir->tracker = gone->tracker;
        heir->titles = gone->titles;
    }
    endpoints_.erase(name);
    if (!wasActive) {
        updatePoll();
        return;
    }
    if (!heirName.isEmpty()) {
        active_ = heirName;
        updatePoll();
        return;
    }
    chooseActive();
    updatePoll();
    raise(EventKind::Quitting);
}

void MprisConnection::onNameOwnerChanged(const QString& name, const QString& oldOwner,
                                         const QString& newOwner)
{
    if (!IsPlayerName(name))
        return;
    try {
        if (!oldOwner.isEmpty())
            removeEndpoint(name);
        if (!newOwner.isEmpty() && !find(name)) {
            Endpoint& e = addEndpoint(name, newOwner);
            if (active_.isEmpty() && isRepresentative(e))
                active_ = name;
            // A new player announces itself with a flurry of signals; read once it settles.
            schedule(e);
        }
    } catch (const std::exception& ex) {
        qCWarning(lcWatcher, "player %s: %s", qPrintable(name), ex.what());
    }
}

void MprisConnection::onSignal(const DecodedSignal& signal)
{
    const qint64 now = clock_.elapsed();
    for (const auto& [name, e] : endpoints_) {
        if (e->owner != signal.sender)
            continue;
        Endpoint& target = const_cast<Endpoint&>(representative(*e));
        if (signal.hasStatus)
            target.tracker.noteStatus(signal.status, now);
        if (signal.hasMetadata) {
            target.tracker.noteMetadata(signal.metadata);
            target.metadataSignalled = true;
        }
        schedule(target);
        break;
    }
}

void MprisConnection::onBusDisconnected()
{
    loseBus();
}

void MprisConnection::schedule(Endpoint& e)
{
    const qint64 now = clock_.elapsed();
    if (e.unreadSince < 0)
        e.unreadSince = now;
    const qint64 left = e.unreadSince + kMaxDebounceWaitMs - now;
    e.debounce->start(int(std::clamp<qint64>(left, 0, kDebounceMs)));
}

bool MprisConnection::busLost()
{
    if (!lostBus_ && !bus_.isConnected())
        loseBus();
    return lostBus_;
}

void MprisConnection::loseBus()
{
    if (lostBus_)
        return;
    // Qt does not reconnect a lost bus: stop every timer rather than fail on each tick.
    lostBus_ = true;
    poll_.stop();
    for (const auto& [name, e] : endpoints_)
        e->debounce->stop();
    qCWarning(lcWatcher, "lost the session bus: players are no longer followed");
}

void MprisConnection::read(Endpoint& e, ReadKind kind)
{
    if (busLost())
        return;
    const quint64 generation = ++e.generation;
    e.reading = true;
    e.debounce->stop();
    e.unreadSince = -1;
    const bool signalled = std::exchange(e.metadataSignalled, false);
    const QString name = e.name;
    decoder_->read(bus_, ReadMessage(name, kind), kind,
                   [this, name, generation, kind, signalled](DecodedRead reply) {
                       QMetaObject::invokeMethod(
                           this,
                           [=, this] {
                               Guarded(lcWatcher, "reading a player",
                                       [&] { onRead(name, generation, kind, signalled, reply); });
                           },
                           Qt::QueuedConnection);
                   });
}

void MprisConnection::onRead(const QString& name, quint64 generation, ReadKind kind, bool signalled,
                             const DecodedRead& reply)
{
    Endpoint* e = find(name);
    if (!e || generation != e->generation)
        return;
    e->reading = false;
    if (!reply.ok) {
        if (busLost())
            return;
        // A hung player is read on every poll and every signal: say so once in a while.
        if (readWarnings_.allow(clock_.elapsed()))
            qCWarning(lcWatcher, "cannot read player %s: %s (%d more such failures not shown)",
                      qPrintable(name), qPrintable(reply.error), readWarnings_.heldBack());
        return;
    }
    // A newer signal came while reading: the read after it will tell the settled state, unless
    // that state has been waiting too long already.
    if (e->debounce->isActive() && clock_.elapsed() - e->unreadSince < kMaxDebounceWaitMs)
        return;
    PlayerRead state = reply.read;
    // The poll reads the metadata alone: the status is what the player last said.
    if (!reply.hasStatus)
        state.status = e->tracker.status();
    // A change from one title to another on the same stream tells how the player reports them.
    const bool hadTitle = e->tracker.streamPlaying() && !e->tracker.texts().streamTitle.isEmpty();
    const Decision d = e->tracker.evaluate(state, clock_.elapsed());
    if (hadTitle && d.trackChanged && !d.play && e->titles != TitleSignals::Silent) {
        if (kind == ReadKind::Metadata)
            e->titles = TitleSignals::Silent;
        else if (signalled)
            e->titles = TitleSignals::Signals;
    }
    if (d.recheck)
        QTimer::singleShot(PlaybackTracker::kRecheckMs, this, [this, name] {
            if (Endpoint* found = find(name);
                found && !found->reading && !found->debounce->isActive())
                read(*found);
        });
    if (!isRepresentative(*e))
        return;
    if (d.startedPlaying) {
        e->activity = ++activityClock_;
        active_ = name;
    }
    if (name == active_) {
        if (d.play)
            raise(EventKind::Play, e->tracker.texts());
        if (d.trackChanged)
            raise(EventKind::TrackChanged, e->tracker.texts());
    }
    updatePoll();
}

int MprisConnection::pollInterval(const Endpoint& e)
{
    return e.titles == TitleSignals::Silent ? kStreamPollMs : kStreamProbeMs;
}

void MprisConnection::pollStream()
{
    if (busLost())
        return;
    Endpoint* e = active();
    if (!e || e->reading || e->debounce->isActive())
        return;
    const int every = pollInterval(*e);
    // A signal that carried the player's whole Metadata lately told what this read would (mpv
    // repeats it every second on a stream): wait until it has kept quiet for a whole interval.
    const qint64 since = decoder_->msSinceMetadataFrom(e->owner);
    if (since >= 0 && since < every) {
        poll_.start(int(every - since));
        return;
    }
    if (poll_.interval() != every)
        poll_.start(every);
    read(*e, ReadKind::Metadata);
}

void MprisConnection::updatePoll()
{
    const Endpoint* e = active();
    const bool wanted =
        e && e->tracker.streamPlaying() && e->titles != TitleSignals::Signals && !lostBus_;
    if (!wanted) {
        poll_.stop();
        return;
    }
    const int interval = pollInterval(*e);
    if (poll_.interval() != interval)
        poll_.setInterval(interval); // restarts it when it runs
    if (!poll_.isActive())
        poll_.start();
}

std::unique_ptr<PlayerTrack> MprisConnection::CurrentTrack()
{
    const Endpoint* e = active();
    if (!e || !e->tracker.hasTrack() || e->tracker.status() == Status::Stopped)
        return nullptr;
    return std::make_unique<MprisTrack>(e->tracker.texts());
}

std::u16string MprisConnection::CurrentStreamTitle()
{
    const Endpoint* e = active();
    if (!e || !e->tracker.texts().isStream())
        return {};
    return e->tracker.texts().streamTitle.toStdU16String();
}

PlayerResult MprisConnection::AppCommandMessageProcessingEnabled(bool)
{
    return PlayerResult::Ok;
}

PlayerResult MprisConnection::PreviousTrack()
{
    return command("Previous");
}

PlayerResult MprisConnection::NextTrack()
{
    return command("Next");
}

PlayerResult MprisConnection::PlayPause()
{
    return command("PlayPause");
}

PlayerResult MprisConnection::command(const char* method)
{
    const Endpoint* e = active();
    if (!e)
        return PlayerResult::NoPlayer;
    const QDBusMessage reply = bus_.call(
        QDBusMessage::createMethodCall(e->name, QLatin1String(kMprisPath),
                                       QLatin1String(kPlayerInterface), QLatin1String(method)),
        QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return PlayerResult::Ok;
    qCWarning(lcWatcher, "%s on %s failed: %s", method, qPrintable(active_),
              qPrintable(reply.errorMessage()));
    return PlayerResult::Failed;
}

void MprisConnection::raise(EventKind kind, const TrackTexts& texts)
{
    pending_.push_back({kind, texts});
    deliver();
}

void MprisConnection::deliver()
{
    // One event at a time: a handler runs to its end before the next begins. The quitting
    // question is the exception: it waits for the user in a nested event loop, and a player
    // that comes back meanwhile must not wait for the box to go away.
    if (delivering_ && !askingQuit_)
        return;
    const bool outermost = !delivering_;
    delivering_ = true;
    const std::shared_ptr<bool> alive = alive_;
    while (!pending_.empty()) {
        const PendingEvent event = std::move(pending_.front());
        pending_.pop_front();
        if (!events_)
            continue;
        const bool wasAsking = askingQuit_;
        askingQuit_ = event.kind == EventKind::Quitting;
        // The handlers' failures end here: the connection goes on with the next event.
        switch (event.kind) {
        case EventKind::Play:
            Guarded(lcWatcher, "OnPlayerPlayEvent",
                    [&] { events_->OnPlayerPlayEvent(MprisTrack(event.texts)); });
            break;
        case EventKind::TrackChanged:
            Guarded(lcWatcher, "OnPlayerPlayingTrackChangedEvent",
                    [&] { events_->OnPlayerPlayingTrackChangedEvent(MprisTrack(event.texts)); });
            break;
        case EventKind::Quitting:
            Guarded(lcWatcher, "OnQuittingEvent", [&] { events_->OnQuittingEvent(); });
            break;
        }
        // The handler may have ended the program and this connection with it.
        if (!*alive)
            return;
        askingQuit_ = wasAsking;
    }
    if (outermost)
        delivering_ = false;
}

} // namespace tessaly::mpris
