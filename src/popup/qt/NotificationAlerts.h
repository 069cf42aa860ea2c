#pragma once

// The popups where no X11 display lets a window place itself (a Wayland session without
// XWayland): each refresh is shown through the desktop's notification service
// (org.freedesktop.Notifications), replacing Tessaly's previous notification.

#include "popup/AlertOwner.h"
#include "watcher/AlertPort.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tessaly {

class NotificationAlerts : public QObject, public AlertPort {
    Q_OBJECT
public:
    NotificationAlerts(AlertOwner& owner, QDBusConnection bus);

    void ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                          std::u16string_view sTitle, std::u16string_view sMsg) override;
    // Only the notification on screen can be updated; it is replaced with the new rows.
    void UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                             std::u16string_view sArtist, std::u16string_view sTitle) override;

private Q_SLOTS:
    // The server's ActionInvoked signal: a button of one of its notifications.
    void ActionInvoked(uint id, const QString& action);

private:
    void Notify(const QString& summary, const QString& body);

    AlertOwner& owner_;
    QDBusConnection bus_;
    bool actions_ = false;
    bool warned_ = false;
    uint lastId_ = 0;
    QString summary_;
};

} // namespace tessaly
