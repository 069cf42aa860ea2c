#include "popup/qt/PopupAlerts.h"

#include "popup/RefreshAlert.h"

namespace tessaly {

PopupAlerts::PopupAlerts(SettingsStore& settings, AlertOwner& owner) : windows_(settings, owner) {}

void PopupAlerts::ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                                   std::u16string_view sTitle, std::u16string_view sMsg)
{
    OpenRefreshAlert(windows_, sArtist, sAlbum, sTitle, sMsg);
}

void PopupAlerts::UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                                      std::u16string_view sArtist, std::u16string_view sTitle)
{
    if (frmAlert6* popup = frmAlert6::Loaded(oAlert))
        UpdateAlertRows(*popup, sAlbum, sArtist, sTitle);
}

} // namespace tessaly
