#pragma once

// The main window: the configuration window, owner of the tray icon and of the player connection.
// Its start-up (Form_Load) connects the player, adds the tray icon, fills the controls from the
// settings store, refreshes once and shows the window or leaves it in the tray.

#include "shell/AlertPort.h"
#include "watcher/NowPlaying.h"
#include "watcher/Player.h"
#include "watcher/PlayerEventHandlers.h"
#include "watcher/RadioPlaylist.h"

#include <functional>
#include <memory>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTextEdit;

namespace tessaly {

class ProcessLifetime;
class SettingsStore;
class SpinScrollBar;
class StatusPublisher;

// The modal "Critcal Error" box for a player that cannot be created.
void ShowMissingPlayerBox();

// Everything frmMain talks to outside its own widgets; main() wires the real ones, tests fakes.
struct frmMainServices {
    SettingsStore* store = nullptr;
    StatusPublisher* publisher = nullptr;
    // Null: the player cannot be created (no session bus).
    std::function<std::unique_ptr<Player>()> createPlayer;
    // The popups; null or absent means no popups.
    std::function<std::unique_ptr<AlertPort>(AlertOwner&)> createAlerts;
    std::function<void()> showMissingPlayerBox = ShowMissingPlayerBox;
    PlayerEventHandlers::ShutdownQuestion askShutdown = AskShutdownQuestion;
    // The program folder of the radio playlist and "error.txt".
    QString programFolder;
    // Ends the event loop once no window is left; defaults to QCoreApplication::quit.
    std::function<void()> quit;
};

} // namespace tessaly

class frmMain : public QWidget,
                public tessaly::PlayerEventHost,
                public tessaly::AlertOwner,
                private tessaly::NowPlayingWindow {
    Q_OBJECT
public:
    explicit frmMain(tessaly::frmMainServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up. False when the player cannot be created: the box was shown, nothing was
    // read or written, and the window is unloaded.
    bool Form_Load();
    bool Loaded() const { return loaded_; }

    // The one player connection, kept for the whole run.
    std::unique_ptr<tessaly::Player> iTune;
    // A popup's Back/Forward request, consumed by the next refresh.
    bool bAlertChange = false;
    QPointer<QWidget> oAlert;

    void NowPlaying(const QString& sArtist, const QString& sAlbum, const QString& sTitle,
                    const QString& sFormat, const QString& sMsg) override;

    // Tray notifications: mouseMessage is the mouse message over the icon (WM_RBUTTONUP, ...).
    void Form_MouseMove(int mouseMessage);
    // Hides a minimised window: only the tray icon remains.
    void Form_Resize();

    // PlayerEventHost
    QString FormatString() const override { return sFormatString; }
    void ExitCommand() override { mnuExit_Click(); }
    // AlertOwner
    tessaly::Player* AlertPlayer() override { return iTune.get(); }
    void RecordAlertChange(QWidget* alert) override;

    // Controls under their names, for the popup and for tests.
    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
    QLabel *lblArtist, *lblAlbum, *lblTitle, *lblFormatString, *Label3, *Label2, *lblMainOpacity,
        *lblFileName;
    QLineEdit *txtArtist, *txtAlbum, *txtTitle, *txtFormatString, *txtNowPlaying, *txtOpacity,
        *txtMainOpacity, *txtPlaylist;
    QTextEdit* txtInstructions;
    QCheckBox *chkShowBallons, *chkStartMinimized, *chkPlaylist;
    tessaly::SpinScrollBar *VSOpacity, *VSMainOpacity;
    QMenu* mnuPopup = nullptr;

public Q_SLOTS:
    void mnuShow_Click();
    void mnuAbout_Click();
    void mnuHelp_Click();
    void mnuDonate_Click();
    void mnuSite_Click();
    void mnuExit_Click();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void FillControls();
    void Unload();

    void chkShowBallons_Click();
    void chkStartMinimized_Click();
    void chkPlaylist_Click();
    void txtFormatString_Change();
    void txtPlaylist_Change();
    void VSOpacity_Change();
    void VSMainOpacity_Change();

    // NowPlayingWindow
    void ShowTrack(const QString& sAlbum, const QString& sArtist, const QString& sTitle) override;
    void ShowStatus(const QString& status) override;
    void ShowAlert(const tessaly::NowPlayingRecord& record) override;
    int PlaylistSwitch() const override;
    QString PlaylistFileName() const override;

    tessaly::frmMainServices services_;
    std::unique_ptr<tessaly::PlayerEventHandlers> handlers_;
    std::unique_ptr<tessaly::AlertPort> alerts_;
    tessaly::RadioPlaylist playlist_;
    tessaly::ProcessLifetime* lifetime_;
    bool loaded_ = false;

    QString sFormatString;
    QString sShowBallons;
};
