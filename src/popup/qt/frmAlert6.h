#pragma once

// The notification popup: a borderless window with a painted background at the bottom right of
// the screen that rises, holds for five seconds and sinks, then unloads itself. Its controls and
// handlers keep the names of the window design; the motion lives in AlertMotion and what it shows
// is decided by cAlert.
//
// A popup that has unloaded is hidden and may be loaded again for a later notification (see
// AlertWindows): building a window and its controls is most of what a popup costs otherwise.
//
// The window shows a picture of its whole content at full height, rendered again only when what a
// control shows changes: each step of the motion only resizes the window, which then reveals more
// or less of that picture instead of laying out and painting every control again. On X11 the
// picture is the native window's background, so the server uncovers it without any repaint.

#include "popup/AlertLoad.h"
#include "popup/AlertMotion.h"
#include "popup/AlertOwner.h"
#include "popup/cAlert.h"
#include "popup/qt/AlertControls.h"
#include "watcher/Player.h"

#include <array>
#include <QTimer>
#include <QWidget>
#include <utility>
#include <vector>

namespace tessaly {
class SettingsStore;
class AlertWindows;

// The height in pixels of a full-screen window's client area: the work area less a caption bar.
int FullScreenClientHeight();

// The interval that stands in for a 1 ms timer: the desktop timer granularity the motion was made
// for, so that a rise of 56 ticks takes about 0.9 s.
inline constexpr int kMotionTickMs = 16;
inline constexpr int kHoldMs = 5000;
} // namespace tessaly

class frmAlert6 : public QWidget, public tessaly::AlertView {
    Q_OBJECT
public:
    // Creates and loads the window (Form_Load): start place and size, opacity, Timer1 running.
    frmAlert6(tessaly::SettingsStore& settings, tessaly::AlertOwner& owner);
    ~frmAlert6() override;

    // The popup of that id while it is loaded; null for an id no popup has, and once the popup
    // has unloaded.
    static frmAlert6* Loaded(tessaly::PopupId id);

    // Fresh and not zero for every popup of the process, a reloaded window included.
    tessaly::PopupId Id() const { return id_; }

    tessaly::AlertLabel* lblTitle;
    tessaly::AlertImage* imgX;
    tessaly::AlertLabel* lblArtist;
    tessaly::AlertLabel* lbl_Artist;
    tessaly::AlertLabel* lblAlbum;
    tessaly::AlertLabel* lbl_Album;
    tessaly::AlertLabel* lblSongTitle;
    tessaly::AlertLabel* lbl_Title;
    tessaly::AlertLabel* lblAlert;
    // Element 0 is the visible button, 1 holds the normal picture, 2 the hover picture.
    std::array<tessaly::AlertImage*, 3> imgBack;
    std::array<tessaly::AlertImage*, 3> imgPause;
    std::array<tessaly::AlertImage*, 3> imgForward;
    tessaly::AlertImage* imgXNormal;
    tessaly::AlertImage* imgXOver;
    tessaly::AlertImage* imgPointer;
    tessaly::AlertLabel* lblLink;
    tessaly::AlertLabel* lblURL;
    QTimer Timer1;
    QTimer Timer2;
    QTimer Timer3;

    const tessaly::AlertMotion& Motion() const { return motion_; }
    bool IsUnloaded() const { return motion_.Unloaded(); }

    // AlertView
    void SetCaption(tessaly::AlertText label, std::u16string_view caption) override;
    void Hide(tessaly::AlertPart control) override;
    void UseHandCursorOnMessage() override;
    void RestartHold() override;
    void Show() override;

    // Ends the popup at once, whatever its state. The window is hidden and handed back to the
    // AlertWindows that made it, which keeps it for a later popup or deletes it.
    void Unload();

    // The content at full height as the window shows it; rendered first if it is out of date.
    const QPixmap& Content();

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void imgBack_Click();
    void imgForward_Click();
    void imgPause_Click();
    void imgX_Click();
    void imgBack_MouseMove();
    void imgForward_MouseMove();
    void imgPause_MouseMove();
    void imgX_MouseMove();
    void lblTitle_MouseMove();
    void lblAlert_Click();
    void Form_MouseMove();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    friend class tessaly::AlertWindows;

    // Loads a window that has unloaded again as a new popup (AlertWindows): a fresh id, every
    // control, picture and cursor as the window design has them, and Form_Load. Nothing of its
    // last life shows.
    void Reload();
    void CreateControls();
    void ResetControls();
    void Form_Load();
    void ApplyGeometry();
    void InvalidateContent();
    void ShowContent();
    void SyncTimers();
    bool CallPlayer(const char* operation, tessaly::PlayerResult (tessaly::Player::*call)());
    // Back or Forward: the player call, then the record in the main window.
    void TrackCommand(const char* operation, tessaly::PlayerResult (tessaly::Player::*call)());

    tessaly::SettingsStore& settings_;
    tessaly::AlertOwner& owner_;
    tessaly::PopupId id_;
    // Where the window goes when it unloads; null once that AlertWindows is gone.
    tessaly::AlertWindows* home_ = nullptr;
    // What each control shows in the window design, for a reload.
    struct DesignCaption {
        tessaly::AlertLabel* control;
        QString caption;
    };
    struct DesignPicture {
        tessaly::AlertImage* control;
        QPixmap picture;
    };
    std::vector<DesignCaption> designCaptions_;
    std::vector<DesignPicture> designPictures_;
    std::vector<std::pair<tessaly::AlertControl*, bool>> designVisible_;
    tessaly::AlertPlacement placement_{};
    tessaly::AlertMotion motion_;
    int holdStartsSeen_ = 0;
    bool closed_ = false;
    QPixmap background_;
    QPixmap content_;
    bool contentDirty_ = true;
    // The X server shows the content as the window's background; Qt paints nothing on screen.
    bool nativeBackground_ = false;
    // The X server does not report the slide's resizes (QuietResizeReports).
    bool quietResizes_ = false;
    QTimer contentUpload_;
};

namespace tessaly {

// cAlert's windows on Qt: each view is a frmAlert6 of its own, either new or one whose popup has
// unloaded, reloaded. One unloaded window is kept for that: popups mostly come one after another,
// and more kept windows would only hold memory after a burst of overlapping popups.
class AlertWindows : public AlertViews {
public:
    static constexpr std::size_t kKeptWindows = 1;

    AlertWindows(SettingsStore& settings, AlertOwner& owner);
    // Deletes the kept windows; popups still loaded delete themselves when they unload.
    ~AlertWindows() override;
    AlertWindows(const AlertWindows&) = delete;
    AlertWindows& operator=(const AlertWindows&) = delete;

    AlertView& NewAlertView() override;

    // The unloaded windows waiting to be loaded again, most recent last.
    std::size_t KeptWindows() const { return kept_.size(); }

private:
    friend class ::frmAlert6;
    // An unloaded popup: kept, or deleted when enough are kept.
    void Release(frmAlert6* popup);

    SettingsStore& settings_;
    AlertOwner& owner_;
    std::vector<frmAlert6*> kept_;
};

} // namespace tessaly
