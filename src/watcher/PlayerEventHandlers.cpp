#include "watcher/PlayerEventHandlers.h"

namespace tessaly {

PlayerEventHandlers::PlayerEventHandlers(Player& iTune, PlayerEventHost& host,
                                         QuitQuestion& question)
    : iTune_(iTune), host_(host), question_(question)
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
    if (asking_)
        return;
    asking_ = true;
    bool yes = false;
    try {
        yes = question_.AskShutdown();
    } catch (...) {
        asking_ = false;
        throw;
    }
    asking_ = false;
    if (yes)
        host_.ExitCommand();
}

void PlayerEventHandlers::RefreshLocal(const PlayerTrack& track)
{
    const std::u16string sArtist = track.Artist();
    const std::u16string sAlbum = track.Album();
    const std::u16string sTitle = track.Name();
    host_.NowPlaying(sArtist, sAlbum, sTitle, host_.FormatString(), u"");
}

void PlayerEventHandlers::RefreshFromTrack(const PlayerTrack& track)
{
    if (track.KindAsString() != kStreamKind) {
        RefreshLocal(track);
        return;
    }
    // The reads keep their order: the stream title is read again for the title, as the player
    // may have moved on between the two reads.
    const std::u16string s1 = iTune_.CurrentStreamTitle();
    const std::u16string station = track.Name();
    const std::u16string sMsg = station + u"\r\n" + u"\r\n" + s1;
    const std::u16string sArtist = track.Artist();
    const std::u16string sAlbum = track.Album();
    const std::u16string s2 = iTune_.CurrentStreamTitle();
    host_.NowPlaying(sArtist, sAlbum, s2, host_.FormatString(), sMsg);
}

} // namespace tessaly
