#pragma once

// The popup subsystem as the main window's refresh sees it: new popups for track and radio
// refreshes, and the in-place update of a popup whose Back or Forward button was used.

#include "popup/AlertOwner.h"
#include "popup/qt/frmAlert6.h"
#include "watcher/AlertPort.h"

#include <memory>

namespace tessaly {

class SettingsStore;

class NotificationAlerts;

// Windows at the bottom right where the platform lets them place themselves; elsewhere (Wayland)
// the desktop's notifications.
class PopupAlerts : public AlertPort {
public:
    PopupAlerts(SettingsStore& settings, AlertOwner& owner);
    ~PopupAlerts() override;

    void ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                          std::u16string_view sTitle, std::u16string_view sMsg) override;
    // A popup that has closed, or an id no popup ever had, takes nothing and shows nothing.
    void UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                             std::u16string_view sArtist, std::u16string_view sTitle) override;

private:
    AlertWindows windows_;
    std::unique_ptr<NotificationAlerts> notifications_;
};

} // namespace tessaly
