#include "popup/qt/NotificationAlerts.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "common/qt/QtText.h"
#include "popup/RefreshAlert.h"
#include "watcher/Player.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace tessaly {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage Call(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

// Servers may read the body as markup.
QString Escaped(std::u16string_view text)
{
    return ToQString(text).toHtmlEscaped();
}

} // namespace

NotificationAlerts::NotificationAlerts(AlertOwner& owner, QDBusConnection bus)
    : owner_(owner), bus_(std::move(bus))
{
    // Asked once, without waiting: until the answer comes, notifications carry no buttons.
    auto* capabilities =
        new QDBusPendingCallWatcher(bus_.asyncCall(Call(QStringLiteral("GetCapabilities"))), this);
    connect(capabilities, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QStringList> reply = *call;
                actions_ = reply.isValid() && reply.value().contains(QStringLiteral("actions"));
                call->deleteLater();
            });
    bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                 SLOT(ActionInvoked(uint, QString)));
}

void NotificationAlerts::ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                                          std::u16string_view sTitle, std::u16string_view sMsg)
{
    if (sMsg.empty())
        Notify(ToQString(kTrackAlertTitle),
               Escaped(sArtist) + u'\n' + Escaped(sAlbum) + u'\n' + Escaped(sTitle));
    else
        Notify(ToQString(kRadioAlertTitle), Escaped(sMsg));
}

void NotificationAlerts::UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                                             std::u16string_view sArtist,
                                             std::u16string_view sTitle)
{
    if (oAlert == kNoPopup || oAlert != lastId_)
        return;
    Notify(summary_, Escaped(sArtist) + u'\n' + Escaped(sAlbum) + u'\n' + Escaped(sTitle));
}

void NotificationAlerts::Notify(const QString& summary, const QString& body)
{
    const QDBusConnectionInterface* names = bus_.interface();
    if (!names || !names->isServiceRegistered(kService).value()) {
        if (!warned_)
            qCWarning(lcPopup) << "no notification service is running: no popups are shown";
        warned_ = true;
        return;
    }
    summary_ = summary;
    QStringList actions;
    if (actions_)
        actions << QStringLiteral("back") << QStringLiteral("Back") << QStringLiteral("pause")
                << QStringLiteral("Pause") << QStringLiteral("forward")
                << QStringLiteral("Forward");
    QDBusMessage notify = Call(QStringLiteral("Notify"));
    notify << QStringLiteral("Tessaly") << lastId_ << QStringLiteral("tessaly") << summary << body
           << actions << QVariantMap() << -1;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    connect(
        pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
            const QDBusPendingReply<uint> reply = *call;
            if (reply.isValid())
                lastId_ = reply.value();
            else
                qCWarning(lcPopup) << "the notification was refused:" << reply.error().message();
            call->deleteLater();
        });
}

void NotificationAlerts::ActionInvoked(uint id, const QString& action)
{
    if (id != lastId_ || id == 0)
        return;
    Guarded(lcPopup, "the notification's button", [&] {
        Player* player = owner_.AlertPlayer();
        if (!player) {
            qCWarning(lcPopup) << action << "failed: there is no player";
            return;
        }
        if (action == QLatin1String("pause")) {
            player->PlayPause();
            return;
        }
        if (action == QLatin1String("back"))
            player->PreviousTrack();
        else if (action == QLatin1String("forward"))
            player->NextTrack();
        else
            return;
        owner_.RecordAlertChange(id);
    });
}

} // namespace tessaly
