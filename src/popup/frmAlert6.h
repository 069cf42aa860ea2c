#pragma once

// The notification popup: a borderless window with a painted background at the bottom right of
// the screen that rises, holds for five seconds and sinks, then unloads itself. Its controls and
// handlers keep the names of the window design; the motion itself lives in AlertMotion.

#include "popup/AlertControls.h"
#include "popup/AlertLoad.h"
#include "popup/AlertMotion.h"
#include "watcher/Player.h"

#include <array>
#include <QTimer>
#include <QWidget>

namespace tessaly {
class AlertOwner;
class SettingsStore;

// The height in pixels of a full-screen window's client area: the work area less a caption bar.
int FullScreenClientHeight();

// The interval that stands in for a 1 ms timer: the desktop timer granularity the motion was made
// for, so that a rise of 56 ticks takes about 0.9 s.
inline constexpr int kMotionTickMs = 16;
inline constexpr int kHoldMs = 5000;
} // namespace tessaly

class frmAlert6 : public QWidget {
    Q_OBJECT
public:
    // Creates and loads the window (Form_Load): start place and size, opacity, Timer1 running.
    frmAlert6(tessaly::SettingsStore& settings, tessaly::AlertOwner& owner);
    ~frmAlert6() override;

    // Finds a popup that is still loaded behind a widget pointer; null for anything else,
    // including a popup that has unloaded.
    static frmAlert6* Loaded(QWidget* widget);

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
    // Where the load step placed the window, in twips.
    const tessaly::AlertPlacement& LoadPlacement() const { return placement_; }
    // The alpha the load step handed to SetOpacity; nothing when none was applicable.
    std::optional<std::int16_t> LoadAlpha() const { return alpha_; }
    bool IsUnloaded() const { return motion_.Unloaded(); }

    // Timer2 off and on again: the hold of five seconds starts over.
    void RestartHold();
    // Ends the popup at once, whatever its state.
    void Unload();

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
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void CreateControls();
    void Form_Load();
    void ApplyGeometry();
    void SyncTimers();
    bool CallPlayer(const char* operation, tessaly::PlayerResult (tessaly::Player::*call)());
    // Back or Forward: the player call, then the record in the main window.
    void TrackCommand(const char* operation, tessaly::PlayerResult (tessaly::Player::*call)());

    tessaly::SettingsStore& settings_;
    tessaly::AlertOwner& owner_;
    tessaly::AlertPlacement placement_{};
    tessaly::AlertMotion motion_;
    std::optional<std::int16_t> alpha_;
    int holdStartsSeen_ = 0;
    bool closed_ = false;
    QPixmap background_;
};
