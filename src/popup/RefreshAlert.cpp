#include "popup/RefreshAlert.h"

namespace tessaly {

std::u16string DoubleAmpersands(std::u16string_view text)
{
    std::u16string doubled;
    doubled.reserve(text.size());
    for (const char16_t c : text) {
        doubled += c;
        if (c == u'&')
            doubled += u'&';
    }
    return doubled;
}

void OpenRefreshAlert(AlertViews& views, std::u16string_view sArtist, std::u16string_view sAlbum,
                      std::u16string_view sTitle, std::u16string_view sMsg)
{
    cAlert alert(views);
    if (sMsg.empty()) {
        alert.Title = kTrackAlertTitle;
        alert.Link = false;
        alert.Artist = DoubleAmpersands(sArtist);
        alert.Album = DoubleAmpersands(sAlbum);
        alert.SongTitle = DoubleAmpersands(sTitle);
    } else {
        alert.Title = kRadioAlertTitle;
        alert.Link = false;
        alert.Message = sMsg;
    }
    alert.MSN6();
}

void UpdateAlertRows(AlertView& popup, std::u16string_view sAlbum, std::u16string_view sArtist,
                     std::u16string_view sTitle)
{
    popup.SetCaption(AlertText::lbl_Album, sAlbum);
    popup.SetCaption(AlertText::lbl_Artist, sArtist);
    popup.SetCaption(AlertText::lbl_Title, sTitle);
    popup.RestartHold();
}

} // namespace tessaly
