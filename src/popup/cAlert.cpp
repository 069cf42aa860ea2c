#include "popup/cAlert.h"

#include "popup/frmAlert6.h"
#include "popup/PopupArt.h"

using namespace tessaly;

cAlert::cAlert(SettingsStore& settings, AlertOwner& owner) : settings_(settings), owner_(owner) {}

void cAlert::MSN6()
{
    auto* popup = new frmAlert6(settings_, owner_);
    popup->lblTitle->SetCaption(Title);
    if (!Message.isEmpty()) {
        popup->lblSongTitle->hide();
        popup->lblArtist->hide();
        popup->lblAlbum->hide();
        popup->imgBack[0]->hide();
        popup->imgForward[0]->hide();
        popup->imgPause[0]->hide();
        popup->lblAlert->SetCaption(Message);
    } else {
        const struct {
            const QString& member;
            AlertLabel* value;
            AlertLabel* caption;
        } rows[] = {
            {Album, popup->lbl_Album, popup->lblAlbum},
            {Artist, popup->lbl_Artist, popup->lblArtist},
            {SongTitle, popup->lbl_Title, popup->lblSongTitle},
        };
        for (const auto& row : rows) {
            if (!row.member.isEmpty())
                row.value->SetCaption(row.member);
            else
                row.caption->hide();
        }
    }
    if (Link) {
        popup->lblAlert->setCursor(PopupHandCursor(popup->imgPointer->Picture()));
        popup->lblURL->SetCaption(sUrl);
        popup->lblLink->SetCaption(QStringLiteral("True"));
    }
    // Shown without activation: the application in use keeps the focus.
    popup->show();
}
