#include "popup/cAlert.h"

using namespace tessaly;

cAlert::cAlert(AlertViews& views) : views_(views) {}

void cAlert::MSN6()
{
    AlertView& popup = views_.NewAlertView();
    popup.SetCaption(AlertText::lblTitle, Title);
    if (!Message.empty()) {
        for (AlertPart part : {AlertPart::lblSongTitle, AlertPart::lblArtist, AlertPart::lblAlbum,
                               AlertPart::imgBack, AlertPart::imgForward, AlertPart::imgPause})
            popup.Hide(part);
        popup.SetCaption(AlertText::lblAlert, Message);
    } else {
        const struct {
            const std::u16string& member;
            AlertText value;
            AlertPart caption;
        } rows[] = {
            {Album, AlertText::lbl_Album, AlertPart::lblAlbum},
            {Artist, AlertText::lbl_Artist, AlertPart::lblArtist},
            {SongTitle, AlertText::lbl_Title, AlertPart::lblSongTitle},
        };
        for (const auto& row : rows) {
            if (!row.member.empty())
                popup.SetCaption(row.value, row.member);
            else
                popup.Hide(row.caption);
        }
    }
    if (Link) {
        popup.UseHandCursorOnMessage();
        popup.SetCaption(AlertText::lblURL, sUrl);
        popup.SetCaption(AlertText::lblLink, kLinkOn);
    }
    popup.Show();
}
