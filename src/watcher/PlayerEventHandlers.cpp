#include "watcher/PlayerEventHandlers.h"

#include "watcher/Logging.h"

#include <exception>
#include <QMessageBox>
#include <utility>

namespace tessaly {

namespace {

QString FromPlayer(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

// Runs one handler; a failure is logged and goes no further than the event that caused it.
template <typename Handler> void Guarded(const char* event, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        qCWarning(lcWatcher, "%s failed: %s", event, e.what());
    } catch (...) {
        qCWarning(lcWatcher, "%s failed with an unknown error", event);
    }
}

} // namespace

bool AskShutdownQuestion()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tessaly"),
                    QStringLiteral("Itunes Closing, would you like Tessaly to shutdown?"),
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

PlayerEventHandlers::PlayerEventHandlers(Player& iTune, PlayerEventHost& host,
                                         ShutdownQuestion askShutdown)
    : iTune_(iTune), host_(host), askShutdown_(std::move(askShutdown))
{}

void PlayerEventHandlers::iTune_OnPlayerPlayEvent(const PlayerTrack& iTrack)
{
    RefreshLocal(iTrack);
}

void PlayerEventHandlers::iTune_OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack)
{
    RefreshFromTrack(iTrack);
}

void PlayerEventHandlers::iTune_OnQuittingEvent()
{
    if (askShutdown_ && askShutdown_())
        host_.ExitCommand();
}

void PlayerEventHandlers::iTune_OnAboutToPromptUserToQuitEvent() {}

void PlayerEventHandlers::iTune_OnCOMCallsEnabledEvent() {}

void PlayerEventHandlers::RefreshLocal(const PlayerTrack& track)
{
    const QString sArtist = FromPlayer(track.Artist());
    const QString sAlbum = FromPlayer(track.Album());
    const QString sTitle = FromPlayer(track.Name());
    host_.NowPlaying(sArtist, sAlbum, sTitle, host_.FormatString(), QString());
}

void PlayerEventHandlers::RefreshFromTrack(const PlayerTrack& track)
{
    if (track.KindAsString() != kStreamKind) {
        RefreshLocal(track);
        return;
    }
    // The reads keep their order: the stream title is read again for the title, as the player
    // may have moved on between the two reads.
    const QString s1 = FromPlayer(iTune_.CurrentStreamTitle());
    const QString station = FromPlayer(track.Name());
    const QString sMsg = station + QStringLiteral("\r\n") + QStringLiteral("\r\n") + s1;
    const QString sArtist = FromPlayer(track.Artist());
    const QString sAlbum = FromPlayer(track.Album());
    const QString s2 = FromPlayer(iTune_.CurrentStreamTitle());
    host_.NowPlaying(sArtist, sAlbum, s2, host_.FormatString(), sMsg);
}

void PlayerEventHandlers::OnPlayerPlayEvent(const PlayerTrack& iTrack)
{
    Guarded("OnPlayerPlayEvent", [&] { iTune_OnPlayerPlayEvent(iTrack); });
}

void PlayerEventHandlers::OnPlayerPlayingTrackChangedEvent(const PlayerTrack& iTrack)
{
    Guarded("OnPlayerPlayingTrackChangedEvent",
            [&] { iTune_OnPlayerPlayingTrackChangedEvent(iTrack); });
}

void PlayerEventHandlers::OnQuittingEvent()
{
    Guarded("OnQuittingEvent", [&] { iTune_OnQuittingEvent(); });
}

void PlayerEventHandlers::OnAboutToPromptUserToQuitEvent()
{
    Guarded("OnAboutToPromptUserToQuitEvent", [&] { iTune_OnAboutToPromptUserToQuitEvent(); });
}

void PlayerEventHandlers::OnCOMCallsEnabledEvent()
{
    Guarded("OnCOMCallsEnabledEvent", [&] { iTune_OnCOMCallsEnabledEvent(); });
}

} // namespace tessaly
