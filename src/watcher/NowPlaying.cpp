#include "watcher/NowPlaying.h"

#include "publisher/StatusPublisher.h"
#include "shell/AlertPort.h"
#include "watcher/FormatStatus.h"
#include "watcher/RadioPlaylist.h"

namespace tessaly {

void RunNowPlaying(const NowPlayingRecord& record, NowPlayingWindow& window,
                   StatusPublisher& publisher, RadioPlaylist& playlist)
{
    window.ShowTrack(record.sAlbum, record.sArtist, record.sTitle);
    const QString status =
        FormatStatus(record.sFormat, record.sArtist, record.sAlbum, record.sTitle);
    window.ShowStatus(status);
    publisher.SetYahooStatus(status.toStdU16String());
    window.ShowAlert(record);
    if (ShouldLogRadioTitle(window.PlaylistSwitch(), record.sMsg, record.sTitle))
        playlist.Append(window.PlaylistFileName(), record.sTitle);
}

bool ReadsAsTrue(const QString& text)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    return ok && value != 0;
}

void ShowOrUpdateAlert(AlertPort& alerts, bool& bAlertChange, QWidget* oAlert,
                       const QString& sShowBallons, const NowPlayingRecord& record)
{
    if (bAlertChange) {
        bAlertChange = false;
        alerts.UpdateRecordedAlert(oAlert, record.sAlbum, record.sArtist, record.sTitle);
    } else if (ReadsAsTrue(sShowBallons)) {
        alerts.ShowRefreshAlert(record.sArtist, record.sAlbum, record.sTitle, record.sMsg);
    }
}

} // namespace tessaly
