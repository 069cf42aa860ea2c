#pragma once

// The main window: the configuration window, owner of the tray icon. A view only: its controls
// under their names, their events forwarded to the main window's rules, their results shown.

#include "shell/MainWindowController.h"
#include "shell/MainWindowView.h"

#include <functional>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTextEdit;

namespace tessaly {

class ProcessLifetime;
class SpinScrollBar;

// The rules' services plus what only the Qt window needs.
struct frmMainServices {
    MainWindowServices core;
    std::function<void()> showMissingPlayerBox;
    // Ends the event loop once no window is left; defaults to QCoreApplication::quit.
    std::function<void()> quit;
};

} // namespace tessaly

class frmMain : public QWidget, private tessaly::MainWindowView {
    Q_OBJECT
public:
    explicit frmMain(tessaly::frmMainServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up; false when the player cannot be created (the window is then unloaded).
    bool Form_Load() { return controller_.Form_Load(); }
    bool Loaded() const { return controller_.Loaded(); }
    tessaly::MainWindowController& Controller() { return controller_; }

    // Tray notifications: mouseMessage is the mouse message over the icon (WM_RBUTTONUP, ...).
    void Form_MouseMove(int mouseMessage);

    // Controls under their names.
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
    QCheckBox* Box(tessaly::CheckBox box) const;
    tessaly::SpinScrollBar* Spin(tessaly::SpinControl spin) const;
    QLineEdit* Line(tessaly::TextBox box) const;

    // MainWindowView
    int CheckValue(tessaly::CheckBox box) const override;
    int SpinValue(tessaly::SpinControl spin) const override;
    std::u16string Text(tessaly::TextBox box) const override;
    void SetCheckValue(tessaly::CheckBox box, int value) override;
    void SetSpinValue(tessaly::SpinControl spin, int value) override;
    void SetText(tessaly::TextBox box, std::u16string_view text) override;
    void SetWindowOpacity(std::int16_t alpha) override;
    void ShowMissingPlayerBox() override;
    void AddTrayIcon(std::u16string_view tip, int callbackMessage) override;
    tessaly::WindowState State() const override;
    void HideMinimized() override;
    void ShowNormal() override;
    void ShowAsItIs() override;
    void PopupTrayMenu() override;
    void Exit() override { mnuExit_Click(); }
    void Unload() override;

    tessaly::frmMainServices services_;
    tessaly::ProcessLifetime* lifetime_;
    tessaly::MainWindowController controller_;
    bool shownOnce_ = false;
};
