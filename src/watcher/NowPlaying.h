#pragma once

// The now-playing refresh every player event and the first refresh at start-up go through: the
// track into the "Current" boxes, the status text built, shown and published, the popup opened or
// updated, and radio titles logged.

#include <QString>

class QWidget;

namespace tessaly {

class AlertPort;
class RadioPlaylist;
class StatusPublisher;

// The five texts of one refresh; a radio refresh exactly when sMsg is not empty.
struct NowPlayingRecord {
    QString sArtist;
    QString sAlbum;
    QString sTitle;
    QString sFormat;
    QString sMsg;
    bool IsRadio() const { return !sMsg.isEmpty(); }
};

// What a refresh reads and changes on the main window.
class NowPlayingWindow {
public:
    virtual ~NowPlayingWindow() = default;
    // txtAlbum, txtArtist, txtTitle, in this order.
    virtual void ShowTrack(const QString& sAlbum, const QString& sArtist,
                           const QString& sTitle) = 0;
    // txtNowPlaying.
    virtual void ShowStatus(const QString& status) = 0;
    // The popup step; see ShowOrUpdateAlert.
    virtual void ShowAlert(const NowPlayingRecord& record) = 0;
    // chkPlaylist's value (0, 1, or 2 for grey) and txtPlaylist's text, read at each refresh.
    virtual int PlaylistSwitch() const = 0;
    virtual QString PlaylistFileName() const = 0;
};

// The refresh, in order. A failure of the window, the publisher or the popup propagates and
// abandons the rest; the playlist step never fails outwards.
void RunNowPlaying(const NowPlayingRecord& record, NowPlayingWindow& window,
                   StatusPublisher& publisher, RadioPlaylist& playlist);

// A settings text read as a Boolean: any non-zero whole number is true.
bool ReadsAsTrue(const QString& text);

// The popup step. A pending Back/Forward request (bAlertChange) is consumed and updates oAlert in
// place whatever the notifications switch says; else a new popup when sShowBallons reads as true.
void ShowOrUpdateAlert(AlertPort& alerts, bool& bAlertChange, QWidget* oAlert,
                       const QString& sShowBallons, const NowPlayingRecord& record);

} // namespace tessaly
