#pragma once

// The seams between the main window and the notification popup, so that the shell does not depend
// on the popup's widgets: the popup subsystem implements AlertPort, frmMain implements AlertOwner.

#include <QString>

class QWidget;

namespace tessaly {

class Player;

class AlertPort {
public:
    virtual ~AlertPort() = default;
    // A new popup for one refresh: the track form when sMsg is empty, the radio form otherwise.
    virtual void ShowRefreshAlert(const QString& sArtist, const QString& sAlbum,
                                  const QString& sTitle, const QString& sMsg) = 0;
    // Writes the texts into a popup recorded by its Back or Forward button and restarts its hold.
    // Harmless, and shows nothing, when that popup has already closed (oAlert is then null).
    virtual void UpdateRecordedAlert(QWidget* oAlert, const QString& sAlbum, const QString& sArtist,
                                     const QString& sTitle) = 0;
};

class AlertOwner {
public:
    virtual ~AlertOwner() = default;
    // The player the popup's buttons drive (frmMain's iTune); may be null.
    virtual Player* AlertPlayer() = 0;
    // Back or Forward was used: bAlertChange := true, oAlert := alert.
    virtual void RecordAlertChange(QWidget* alert) = 0;
};

} // namespace tessaly
