#include "DemoAdaptors.h"

#include "DemoPlayer.h"

namespace demo {

RootAdaptor::RootAdaptor(DemoPlayer* player) : QDBusAbstractAdaptor(player), player_(player) {}

void RootAdaptor::Quit()
{
    player_->quit();
}

PlayerAdaptor::PlayerAdaptor(DemoPlayer* player) : QDBusAbstractAdaptor(player), player_(player)
{
    // Tells no one anything yet (the demo cannot seek), but clients expect the signal to exist.
    connect(player, &DemoPlayer::seeked, this, &PlayerAdaptor::Seeked);
}

QString PlayerAdaptor::playbackStatus() const
{
    return player_->playbackStatus();
}

QVariantMap PlayerAdaptor::metadata() const
{
    ++metadataReads_;
    return player_->metadata();
}

qlonglong PlayerAdaptor::position() const
{
    return player_->positionUs();
}

void PlayerAdaptor::Next()
{
    player_->next();
}

void PlayerAdaptor::Previous()
{
    player_->previous();
}

void PlayerAdaptor::Pause()
{
    player_->pause();
}

void PlayerAdaptor::PlayPause()
{
    player_->playPause();
}

void PlayerAdaptor::Stop()
{
    player_->stop();
}

void PlayerAdaptor::Play()
{
    player_->play();
}

ControlAdaptor::ControlAdaptor(QObject* object, DemoPlayer* player, const PlayerAdaptor* mpris)
    : QDBusAbstractAdaptor(object), player_(player), mpris_(mpris)
{}

void ControlAdaptor::SetMetadata(const QVariantMap& metadata)
{
    player_->setRawMetadata(metadata);
}

void ControlAdaptor::SetPlaybackStatus(const QString& status)
{
    player_->setRawStatus(status);
}

void ControlAdaptor::Burst(uint count, uint withinMs)
{
    player_->burst(count, withinMs);
}

void ControlAdaptor::SwitchToRadio()
{
    player_->switchToRadio();
}

void ControlAdaptor::SetStreamTitle(const QString& title, bool signal)
{
    player_->setStreamTitle(title, signal);
}

void ControlAdaptor::NextWithBlip(uint gapMs)
{
    player_->nextWithBlip(gapMs);
}

void ControlAdaptor::EmitDuplicate()
{
    player_->emitDuplicate();
}

bool ControlAdaptor::AddAlias(const QString& suffix)
{
    return player_->addAlias(suffix);
}

uint ControlAdaptor::MetadataReads() const
{
    return mpris_->metadataReads();
}

} // namespace demo
