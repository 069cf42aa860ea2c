#pragma once

// The now-playing refresh every player event and the first refresh at start-up go through: the
// track into the "Current" boxes, the status text built, shown and published, the popup opened or
// updated, and radio titles logged.

#include "watcher/AlertPort.h"

#include <string>
#include <string_view>

namespace tessaly {

class RadioPlaylist;
class StatusPublisher;

// The five texts of one refresh; a radio refresh exactly when sMsg is not empty.
struct NowPlayingRecord {
    std::u16string sArtist;
    std::u16string sAlbum;
    std::u16string sTitle;
    std::u16string sFormat;
    std::u16string sMsg;
    bool IsRadio() const { return !sMsg.empty(); }
};

// What a refresh reads and changes on the main window.
class NowPlayingView {
public:
    virtual ~NowPlayingView() = default;
    // txtAlbum, txtArtist, txtTitle, in this order.
    virtual void ShowTrack(std::u16string_view sAlbum, std::u16string_view sArtist,
                           std::u16string_view sTitle) = 0;
    // txtNowPlaying.
    virtual void ShowStatus(std::u16string_view status) = 0;
    // The popup step; see ShowOrUpdateAlert.
    virtual void ShowAlert(const NowPlayingRecord& record) = 0;
    // chkPlaylist's value (0, 1, or 2 for grey) and txtPlaylist's text, read at each refresh.
    virtual int PlaylistSwitch() const = 0;
    virtual std::u16string PlaylistFileName() const = 0;
};

// The refresh, in order. A failure of the view, the publisher or the popup propagates and
// abandons the rest; the playlist step never fails outwards.
void RunNowPlaying(const NowPlayingRecord& record, NowPlayingView& view, StatusPublisher& publisher,
                   RadioPlaylist& playlist);

// A settings text read as a Boolean: any non-zero whole number is true.
bool ReadsAsTrue(std::u16string_view text);

// The popup step. A pending Back/Forward request (bAlertChange) is consumed and updates oAlert in
// place whatever the notifications switch says; else a new popup when sShowBallons reads as true.
void ShowOrUpdateAlert(AlertPort& alerts, bool& bAlertChange, PopupId oAlert,
                       std::u16string_view sShowBallons, const NowPlayingRecord& record);

} // namespace tessaly
