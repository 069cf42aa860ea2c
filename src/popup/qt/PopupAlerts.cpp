#include "popup/qt/PopupAlerts.h"

#include "popup/qt/NotificationAlerts.h"
#include "popup/RefreshAlert.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace tessaly {

PopupAlerts::PopupAlerts(SettingsStore& settings, AlertOwner& owner) : windows_(settings, owner)
{
    // A Wayland client cannot put its window at the bottom right.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        notifications_ = std::make_unique<NotificationAlerts>(owner, QDBusConnection::sessionBus());
}

PopupAlerts::~PopupAlerts() = default;

void PopupAlerts::ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                                   std::u16string_view sTitle, std::u16string_view sMsg)
{
    if (notifications_)
        return notifications_->ShowRefreshAlert(sArtist, sAlbum, sTitle, sMsg);
    OpenRefreshAlert(windows_, sArtist, sAlbum, sTitle, sMsg);
}

void PopupAlerts::UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                                      std::u16string_view sArtist, std::u16string_view sTitle)
{
    if (notifications_)
        return notifications_->UpdateRecordedAlert(oAlert, sAlbum, sArtist, sTitle);
    if (frmAlert6* popup = frmAlert6::Loaded(oAlert))
        UpdateAlertRows(*popup, sAlbum, sArtist, sTitle);
}

} // namespace tessaly
