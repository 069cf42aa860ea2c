#include "popup/win32/Win32Alerts.h"

#include "popup/RefreshAlert.h"
#include "popup/win32/frmAlert6.h"

namespace tessaly {

namespace {

class Win32Alerts final : public AlertPort, private AlertViews {
public:
    Win32Alerts(SettingsStore& settings, AlertOwner& owner, HINSTANCE instance)
        : settings_(settings), owner_(owner), instance_(instance)
    {}

    // The popups refer to the settings and the owner, which may go with the port.
    ~Win32Alerts() override { frmAlert6::UnloadAll(); }

    void ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                          std::u16string_view sTitle, std::u16string_view sMsg) override
    {
        OpenRefreshAlert(*this, sArtist, sAlbum, sTitle, sMsg);
    }

    // A popup that has closed, or an id no popup ever had, takes nothing and shows nothing.
    void UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                             std::u16string_view sArtist, std::u16string_view sTitle) override
    {
        if (frmAlert6* popup = frmAlert6::Loaded(oAlert))
            UpdateAlertRows(*popup, sAlbum, sArtist, sTitle);
    }

private:
    AlertView& NewAlertView() override { return frmAlert6::Create(settings_, owner_, instance_); }

    SettingsStore& settings_;
    AlertOwner& owner_;
    HINSTANCE instance_;
};

} // namespace

std::unique_ptr<AlertPort> CreateWin32Alerts(SettingsStore& settings, AlertOwner& owner,
                                             HINSTANCE instance)
{
    return std::make_unique<Win32Alerts>(settings, owner, instance);
}

std::size_t OpenWin32Alerts()
{
    return frmAlert6::LoadedCount();
}

} // namespace tessaly
