#pragma once

// The popup subsystem as the main window's refresh sees it: new popups for track and radio
// refreshes, and the in-place update of a popup whose Back or Forward button was used.

#include "shell/AlertPort.h"

namespace tessaly {

class SettingsStore;

class PopupAlerts : public AlertPort {
public:
    PopupAlerts(SettingsStore& settings, AlertOwner& owner);

    void ShowRefreshAlert(const QString& sArtist, const QString& sAlbum, const QString& sTitle,
                          const QString& sMsg) override;
    void UpdateRecordedAlert(QWidget* oAlert, const QString& sAlbum, const QString& sArtist,
                             const QString& sTitle) override;

private:
    SettingsStore& settings_;
    AlertOwner& owner_;
};

// Every "&" doubled, so that a caption shows the text literally.
QString DoubleAmpersands(const QString& text);

} // namespace tessaly
