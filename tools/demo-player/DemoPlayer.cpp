#include "DemoPlayer.h"

#include "DemoLibrary.h"

#include <memory>
#include <QCoreApplication>
#include <QDBusMessage>

namespace demo {

namespace {

const QString kPlaying = QStringLiteral("Playing");
const QString kPaused = QStringLiteral("Paused");
const QString kStopped = QStringLiteral("Stopped");

} // namespace

DemoPlayer::DemoPlayer(QDBusConnection bus, const Options& options, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), options_(options)
{
    if (options.radio)
        loadStation();
    else
        loadTrack(0);
    status_ = options.stopped ? kStopped : kPlaying;
    if (status_ == kPlaying)
        playingSince_.start();
    if (options.intervalMs > 0) {
        ticker_.setInterval(options.intervalMs);
        connect(&ticker_, &QTimer::timeout, this, &DemoPlayer::onTick);
        ticker_.start();
    } else if (options.radio) {
        // The station moves on by itself even when nobody scripts it.
        ticker_.setInterval(15000);
        connect(&ticker_, &QTimer::timeout, this, &DemoPlayer::onTick);
        ticker_.start();
    }
}

qlonglong DemoPlayer::positionUs() const
{
    qlonglong us = positionBaseUs_;
    if (status_ == kPlaying && playingSince_.isValid())
        us += playingSince_.elapsed() * 1000;
    return us;
}

void DemoPlayer::onTick()
{
    if (status_ != kPlaying)
        return;
    if (radio_) {
        const QStringList& titles = RadioStation().titles;
        titleIndex_ = (titleIndex_ + 1) % int(titles.size());
        setStreamTitle(titles.at(titleIndex_), true);
    } else {
        next();
    }
}

void DemoPlayer::loadTrack(int index)
{
    const int count = int(Library().size());
    index_ = ((index % count) + count) % count;
    radio_ = false;
    metadata_ = TrackMetadata(index_);
    positionBaseUs_ = 0;
    if (playingSince_.isValid())
        playingSince_.restart();
}

void DemoPlayer::loadStation()
{
    radio_ = true;
    titleIndex_ = 0;
    metadata_ = StationMetadata(RadioStation().titles.at(0));
    positionBaseUs_ = 0;
    if (playingSince_.isValid())
        playingSince_.restart();
}

void DemoPlayer::setStatus(const QString& status)
{
    if (status == status_)
        return;
    positionBaseUs_ = status == kStopped ? 0 : positionUs();
    status_ = status;
    if (status == kPlaying)
        playingSince_.start();
    else
        playingSince_.invalidate();
    emitChanged({QStringLiteral("PlaybackStatus")});
}

void DemoPlayer::play()
{
    setStatus(kPlaying);
}

void DemoPlayer::pause()
{
    setStatus(kPaused);
}

void DemoPlayer::playPause()
{
    setStatus(status_ == kPlaying ? kPaused : kPlaying);
}

void DemoPlayer::stop()
{
    setStatus(kStopped);
}

void DemoPlayer::next()
{
    loadTrack(radio_ ? 0 : index_ + 1);
    emitChanged({QStringLiteral("Metadata")});
    countChange();
}

void DemoPlayer::previous()
{
    loadTrack(radio_ ? 0 : index_ - 1);
    emitChanged({QStringLiteral("Metadata")});
    countChange();
}

void DemoPlayer::quit()
{
    QCoreApplication::quit();
}

void DemoPlayer::countChange()
{
    // The last change stays on show for one more interval, so that clients can read it.
    if (options_.quitAfter > 0 && ++changes_ == options_.quitAfter)
        QTimer::singleShot(options_.intervalMs > 0 ? options_.intervalMs : 1000, qApp,
                           &QCoreApplication::quit);
}

void DemoPlayer::setRawMetadata(const QVariantMap& metadata)
{
    metadata_ = metadata;
    emitChanged({QStringLiteral("Metadata")});
}

void DemoPlayer::setRawStatus(const QString& status)
{
    status_ = status;
    emitChanged({QStringLiteral("PlaybackStatus")});
}

void DemoPlayer::burst(uint count, uint withinMs)
{
    if (count == 0)
        return;
    const uint step = withinMs / count;
    for (uint i = 0; i < count; ++i)
        QTimer::singleShot(int(step * i), this, &DemoPlayer::next);
}

void DemoPlayer::switchToRadio()
{
    loadStation();
    if (status_ != kPlaying) {
        status_ = kPlaying;
        playingSince_.start();
    }
    emitChanged({QStringLiteral("Metadata"), QStringLiteral("PlaybackStatus")});
    countChange();
}

void DemoPlayer::setStreamTitle(const QString& title, bool signal)
{
    if (!radio_)
        loadStation();
    metadata_ = StationMetadata(title);
    if (signal)
        emitChanged({QStringLiteral("Metadata")});
    countChange();
}

void DemoPlayer::nextWithBlip(uint gapMs)
{
    setStatus(kStopped);
    QTimer::singleShot(int(gapMs), this, [this] {
        loadTrack(index_ + 1);
        emitChanged({QStringLiteral("Metadata")});
        setStatus(kPlaying);
        countChange();
    });
}

void DemoPlayer::emitDuplicate()
{
    emitChanged({QStringLiteral("Metadata"), QStringLiteral("PlaybackStatus")});
}

bool DemoPlayer::addAlias(const QString& suffix)
{
    return bus_.registerService(QStringLiteral("org.mpris.MediaPlayer2.") + suffix);
}

void DemoPlayer::emitChanged(const QStringList& properties)
{
    QVariantMap changed;
    for (const QString& p : properties) {
        if (p == QLatin1String("Metadata"))
            changed.insert(p, metadata_);
        else if (p == QLatin1String("PlaybackStatus"))
            changed.insert(p, status_);
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    bus_.send(signal);
}

} // namespace demo
