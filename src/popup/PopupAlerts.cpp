#include "popup/PopupAlerts.h"

#include "popup/cAlert.h"
#include "popup/frmAlert6.h"
#include "popup/Logging.h"

#include <exception>

namespace tessaly {

QString DoubleAmpersands(const QString& text)
{
    QString doubled = text;
    return doubled.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

PopupAlerts::PopupAlerts(SettingsStore& settings, AlertOwner& owner)
    : settings_(settings), owner_(owner)
{}

void PopupAlerts::ShowRefreshAlert(const QString& sArtist, const QString& sAlbum,
                                   const QString& sTitle, const QString& sMsg)
{
    cAlert alert(settings_, owner_);
    if (sMsg.isEmpty()) {
        alert.Title = QStringLiteral("iTunes Playing...");
        alert.Link = false;
        alert.Artist = DoubleAmpersands(sArtist);
        alert.Album = DoubleAmpersands(sAlbum);
        alert.SongTitle = DoubleAmpersands(sTitle);
    } else {
        alert.Title = QStringLiteral("iTunes Radio...");
        alert.Link = false;
        alert.Message = sMsg;
    }
    alert.MSN6();
}

void PopupAlerts::UpdateRecordedAlert(QWidget* oAlert, const QString& sAlbum,
                                      const QString& sArtist, const QString& sTitle)
{
    // A popup that has closed takes nothing and shows nothing.
    frmAlert6* popup = frmAlert6::Loaded(oAlert);
    if (!popup)
        return;
    popup->lbl_Album->SetCaption(sAlbum);
    popup->lbl_Artist->SetCaption(sArtist);
    popup->lbl_Title->SetCaption(sTitle);
    popup->RestartHold();
}

} // namespace tessaly
