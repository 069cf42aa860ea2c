#include "watcher/NowPlaying.h"

#include "common/Text.h"
#include "publisher/StatusPublisher.h"
#include "watcher/FormatStatus.h"
#include "watcher/RadioPlaylist.h"

#include <charconv>
#include <string>

namespace tessaly {

void RunNowPlaying(const NowPlayingRecord& record, NowPlayingView& view, StatusPublisher& publisher,
                   RadioPlaylist& playlist)
{
    view.ShowTrack(record.sAlbum, record.sArtist, record.sTitle);
    const std::u16string status =
        FormatStatus(record.sFormat, record.sArtist, record.sAlbum, record.sTitle);
    view.ShowStatus(status);
    publisher.SetYahooStatus(status);
    view.ShowAlert(record);
    if (ShouldLogRadioTitle(view.PlaylistSwitch(), record.sMsg, record.sTitle))
        playlist.Append(view.PlaylistFileName(), record.sTitle);
}

bool ReadsAsTrue(std::u16string_view text)
{
    // A whole number that fits 64 bits, blanks around it allowed; nothing else counts.
    text = TrimBlanks(text);
    std::string ascii;
    for (const char16_t c : text) {
        if (c >= 128)
            return false;
        ascii.push_back(static_cast<char>(c));
    }
    if (ascii.size() > 1 && ascii.front() == '+' && ascii[1] != '-')
        ascii.erase(0, 1);
    long long value = 0;
    const char* end = ascii.data() + ascii.size();
    const auto [stop, error] = std::from_chars(ascii.data(), end, value);
    return error == std::errc() && stop == end && value != 0;
}

void ShowOrUpdateAlert(AlertPort& alerts, bool& bAlertChange, PopupId oAlert,
                       std::u16string_view sShowBallons, const NowPlayingRecord& record)
{
    if (bAlertChange) {
        bAlertChange = false;
        alerts.UpdateRecordedAlert(oAlert, record.sAlbum, record.sArtist, record.sTitle);
    } else if (ReadsAsTrue(sShowBallons)) {
        alerts.ShowRefreshAlert(record.sArtist, record.sAlbum, record.sTitle, record.sMsg);
    }
}

} // namespace tessaly
