#pragma once

// Stand-ins for what a popup talks to: the settings store, the player and the main window.

#include "popup/frmAlert6.h"
#include "shell/AlertPort.h"
#include "shell/SettingsStore.h"
#include "watcher/Player.h"

#include <map>
#include <QApplication>
#include <QPointer>
#include <vector>

namespace tessaly::test {

class FakeStore : public SettingsStore {
public:
    QString read(const QString& key, const QString& defaultValue) const override
    {
        const auto it = values.find(key);
        return it == values.end() ? defaultValue : it->second;
    }
    void write(const QString& key, const QString& text) override { values[key] = text; }

    std::map<QString, QString> values;
};

class FakePlayer : public Player {
public:
    void SetEvents(PlayerEvents*) override {}
    std::unique_ptr<PlayerTrack> CurrentTrack() override { return nullptr; }
    std::u16string CurrentStreamTitle() override { return {}; }
    PlayerResult AppCommandMessageProcessingEnabled(bool) override { return result; }
    PlayerResult PreviousTrack() override { return Record("PreviousTrack"); }
    PlayerResult NextTrack() override { return Record("NextTrack"); }
    PlayerResult PlayPause() override { return Record("PlayPause"); }

    PlayerResult result = PlayerResult::Ok;
    std::vector<std::string> calls;

private:
    PlayerResult Record(const char* call)
    {
        calls.emplace_back(call);
        return result;
    }
};

// The main window's side: the record of Back/Forward and the refresh's popup step.
class FakeOwner : public AlertOwner {
public:
    Player* AlertPlayer() override { return player; }
    void RecordAlertChange(QWidget* alert) override
    {
        bAlertChange = true;
        oAlert = alert;
    }

    // The popup step of a refresh, as the main window takes it.
    void Refresh(AlertPort& alerts, const QString& artist, const QString& album,
                 const QString& title, const QString& msg = QString())
    {
        if (bAlertChange) {
            bAlertChange = false;
            alerts.UpdateRecordedAlert(oAlert.data(), album, artist, title);
        } else if (showBallons) {
            alerts.ShowRefreshAlert(artist, album, title, msg);
        }
    }

    Player* player = nullptr;
    bool bAlertChange = false;
    QPointer<QWidget> oAlert;
    bool showBallons = true;
};

// The popups that are loaded.
inline std::vector<frmAlert6*> LoadedPopups()
{
    std::vector<frmAlert6*> popups;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("frmAlert6"))
            if (frmAlert6* popup = frmAlert6::Loaded(widget))
                popups.push_back(popup);
    return popups;
}

// Unloads every popup and lets the deferred deletions run.
inline void CloseAllPopups()
{
    for (frmAlert6* popup : LoadedPopups())
        popup->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace tessaly::test
