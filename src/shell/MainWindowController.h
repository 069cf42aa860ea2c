#pragma once

// The main window's rules: the start-up in its fixed order, the configuration handlers, the
// now-playing refresh, the popup's Back/Forward record, the tray icon's clicks and the menu
// commands that are rules rather than widget work. A front-end owns one and forwards its
// window's events; everything it shows goes through MainWindowView.

#include "common/Steps.h"
#include "popup/AlertOwner.h"
#include "shell/ConfigHandlers.h"
#include "shell/MainWindowView.h"
#include "watcher/NowPlaying.h"
#include "watcher/Player.h"
#include "watcher/PlayerEventHandlers.h"
#include "watcher/RadioPlaylist.h"

#include <functional>
#include <memory>
#include <string>

namespace tessaly {

class AnsiCodePage;
class SettingsStore;
class StatusPublisher;

// Everything the main window's rules talk to besides the window; the composition root wires
// the real ones, tests fakes. None may be null.
struct MainWindowServices {
    SettingsStore* store = nullptr;
    StatusPublisher* publisher = nullptr;
    // The player connection; a null result or a throw means it cannot be created.
    std::function<std::unique_ptr<Player>()> createPlayer;
    // The popups; empty means no popups.
    std::function<std::unique_ptr<AlertPort>(AlertOwner&)> createAlerts;
    QuitQuestion* quitQuestion = nullptr;
    FileAppend* files = nullptr;
    const AnsiCodePage* ansi = nullptr;
    // The program folder of the radio playlist and "error.txt".
    std::u16string programFolder;
    // Told about a start-up step or refresh that failed on its own.
    FailureSink reportFailure;
};

class MainWindowController : public PlayerEventHost, public AlertOwner, private NowPlayingView {
public:
    // Throws std::invalid_argument when a service is missing.
    MainWindowController(MainWindowServices services, MainWindowView& view);
    ~MainWindowController() override;
    MainWindowController(const MainWindowController&) = delete;
    MainWindowController& operator=(const MainWindowController&) = delete;

    // The start-up. False when the player cannot be created: the box was shown, nothing was
    // read or written, and the window was unloaded.
    bool Form_Load();
    bool Loaded() const { return loaded_; }
    // The window has unloaded: no event may reach it any more.
    void Form_Unload();

    ConfigHandlers& Handlers() { return handlers_; }

    // A mouse message from the tray icon.
    void Form_MouseMove(int mouseMessage);
    // The window was resized: minimised means hidden in the tray.
    void Form_Resize();
    // "&Configure": a minimised window comes back normal; a visible one is only shown.
    void mnuShow_Click();

    // PlayerEventHost
    void NowPlaying(std::u16string_view sArtist, std::u16string_view sAlbum,
                    std::u16string_view sTitle, std::u16string_view sFormat,
                    std::u16string_view sMsg) override;
    std::u16string FormatString() const override { return copies_.sFormatString; }
    void ExitCommand() override { view_.Exit(); }
    // AlertOwner
    Player* AlertPlayer() override { return iTune.get(); }
    void RecordAlertChange(PopupId alert) override;

    // The one player connection, kept for the whole run.
    std::unique_ptr<Player> iTune;
    // A popup's Back/Forward request, consumed by the next refresh, and that popup.
    bool bAlertChange = false;
    PopupId oAlert = kNoPopup;

    const ConfigCopies& Copies() const { return copies_; }

private:
    // NowPlayingView
    void ShowTrack(std::u16string_view sAlbum, std::u16string_view sArtist,
                   std::u16string_view sTitle) override;
    void ShowStatus(std::u16string_view status) override;
    void ShowAlert(const NowPlayingRecord& record) override;
    int PlaylistSwitch() const override;
    std::u16string PlaylistFileName() const override;

    // Sets a box that shows the current track, unless it already shows `text`.
    void ShowText(TextBox box, std::u16string_view text);
    std::unique_ptr<Player> CreatePlayer();

    MainWindowServices services_;
    MainWindowView& view_;
    ConfigCopies copies_;
    ConfigHandlers handlers_;
    RadioPlaylist playlist_;
    std::unique_ptr<PlayerEventHandlers> events_;
    std::unique_ptr<AlertPort> alerts_;
    bool loaded_ = false;
};

} // namespace tessaly
