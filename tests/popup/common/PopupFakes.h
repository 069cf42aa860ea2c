#pragma once

// Stand-ins for what a popup talks to: the player and the main window; and the popups on screen.

#include "popup/AlertOwner.h"
#include "popup/qt/frmAlert6.h"
#include "watcher/AlertPort.h"
#include "watcher/Player.h"

#include <algorithm>
#include <QApplication>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::test {

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
    // A call that throws instead of answering, as a broken backend might.
    bool throws = false;
    std::vector<std::string> calls;

private:
    PlayerResult Record(const char* call)
    {
        calls.emplace_back(call);
        if (throws)
            throw std::runtime_error("the player broke");
        return result;
    }
};

// The main window's side: the record of Back/Forward and the refresh's popup step.
class FakeOwner : public AlertOwner {
public:
    Player* AlertPlayer() override { return player; }
    void RecordAlertChange(PopupId alert) override
    {
        if (recordThrows)
            throw std::runtime_error("the main window broke");
        bAlertChange = true;
        oAlert = alert;
    }

    // The popup step of a refresh, as the main window takes it.
    void Refresh(AlertPort& alerts, std::u16string_view artist, std::u16string_view album,
                 std::u16string_view title, std::u16string_view msg = {})
    {
        if (bAlertChange) {
            bAlertChange = false;
            alerts.UpdateRecordedAlert(oAlert, album, artist, title);
        } else if (showBallons) {
            alerts.ShowRefreshAlert(artist, album, title, msg);
        }
    }

    Player* player = nullptr;
    bool bAlertChange = false;
    PopupId oAlert = kNoPopup;
    bool showBallons = true;
    bool recordThrows = false;
};

// The popups that are loaded, oldest first.
inline std::vector<frmAlert6*> LoadedPopups()
{
    std::vector<frmAlert6*> popups;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<frmAlert6*>(widget); popup && !popup->IsUnloaded())
            popups.push_back(popup);
    std::sort(popups.begin(), popups.end(),
              [](const frmAlert6* a, const frmAlert6* b) { return a->Id() < b->Id(); });
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
