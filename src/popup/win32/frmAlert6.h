#pragma once

// The notification popup as a native window: borderless, layered, a tool window without a taskbar
// button that is never activated. It rises at the bottom right of the screen, holds for five
// seconds and sinks, then destroys itself. Its labels and images are drawn by the window itself
// (they are transparent and need no windows of their own) and keep the names of the window
// design; the motion lives in AlertMotion and what it shows is decided by cAlert.

#include "common/Twips.h"
#include "popup/AlertLoad.h"
#include "popup/AlertMotion.h"
#include "popup/AlertOwner.h"
#include "popup/cAlert.h"
#include "popup/win32/PopupArt.h"
#include "watcher/Player.h"

#include <array>
#include <cstddef>
#include <string>
#include <windows.h>

namespace tessaly {

class SettingsStore;

// The timers of the window design, by their ids.
enum AlertTimer : UINT_PTR {
    kTimer1 = 1, // slide-in, 1 ms
    kTimer2 = 2, // hold, 5000 ms
    kTimer3 = 3, // slide-out, 1 ms
};
inline constexpr UINT kMotionIntervalMs = 1;
inline constexpr UINT kHoldIntervalMs = 5000;

// One drawn control: a label or an image at its design place, in client pixels.
struct AlertControl {
    PixelRect box{};
    bool visible = true;
    // The pointer over the control; none for a control that does not change it.
    HCURSOR cursor = nullptr;
};

struct AlertLabel : AlertControl {
    std::u16string caption; // as written: "&" marks an access key
    bool bold = false;
    UINT align = DT_LEFT;
};

struct AlertImage : AlertControl {
    HBITMAP picture = nullptr; // shared, not owned
};

} // namespace tessaly

class frmAlert6 : public tessaly::AlertView {
public:
    // Creates and loads the window (Form_Load): start place and size, opacity, Timer1 running. The
    // window owns the object and deletes it when it is destroyed. Throws when no window can be
    // made.
    static frmAlert6& Create(tessaly::SettingsStore& settings, tessaly::AlertOwner& owner,
                             HINSTANCE instance);

    // The popup of that id while its window exists; null for an id no popup has and once the
    // popup has unloaded.
    static frmAlert6* Loaded(tessaly::PopupId id);
    // The popup of a window, or null.
    static frmAlert6* FromWindow(HWND window);
    // How many popups are on screen.
    static std::size_t LoadedCount();
    // Unloads every popup at once.
    static void UnloadAll();

    tessaly::PopupId Id() const { return id_; }
    HWND Window() const { return hwnd_; }
    const tessaly::AlertMotion& Motion() const { return motion_; }

    tessaly::AlertLabel lblTitle;
    tessaly::AlertImage imgX;
    tessaly::AlertLabel lblArtist;
    tessaly::AlertLabel lbl_Artist;
    tessaly::AlertLabel lblAlbum;
    tessaly::AlertLabel lbl_Album;
    tessaly::AlertLabel lblSongTitle;
    tessaly::AlertLabel lbl_Title;
    tessaly::AlertLabel lblAlert;
    // Element 0 is the visible button, 1 holds the normal picture, 2 the hover picture.
    std::array<tessaly::AlertImage, 3> imgBack;
    std::array<tessaly::AlertImage, 3> imgPause;
    std::array<tessaly::AlertImage, 3> imgForward;
    tessaly::AlertImage imgXNormal;
    tessaly::AlertImage imgXOver;
    tessaly::AlertImage imgPointer;
    tessaly::AlertLabel lblLink;
    tessaly::AlertLabel lblURL;

    // AlertView
    void SetCaption(tessaly::AlertText label, std::u16string_view caption) override;
    void Hide(tessaly::AlertPart control) override;
    void UseHandCursorOnMessage() override;
    void RestartHold() override;
    void Show() override;

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

private:
    frmAlert6(tessaly::SettingsStore& settings, tessaly::AlertOwner& owner, HINSTANCE instance);
    ~frmAlert6() override;
    frmAlert6(const frmAlert6&) = delete;
    frmAlert6& operator=(const frmAlert6&) = delete;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls();
    void Form_Load();
    void ApplyGeometry();
    void SyncTimers();
    void SetTimerEnabled(UINT_PTR timer, bool enabled, UINT interval);
    void Paint(HDC target);
    void Invalidate(const tessaly::AlertControl& control);

    // The visible control under a client point, topmost first; null over the bare window.
    tessaly::AlertControl* ControlAt(POINT client);
    void MouseMove(POINT client);
    void MouseDown(POINT client);
    void MouseUp(POINT client);

    bool CallPlayer(const char* operation, tessaly::PlayerResult (tessaly::Player::*call)());
    // Back or Forward: the player call, then the record in the main window.
    void TrackCommand(const char* operation, tessaly::PlayerResult (tessaly::Player::*call)());

    tessaly::SettingsStore& settings_;
    tessaly::AlertOwner& owner_;
    HINSTANCE instance_;
    const tessaly::PopupId id_;
    HWND hwnd_ = nullptr;
    tessaly::AlertPlacement placement_{};
    tessaly::AlertMotion motion_;
    int holdStartsSeen_ = 0;
    std::array<bool, 4> timerRunning_{};
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    // The last place the pointer moved to, on the screen: a window that moves under a resting
    // pointer gets mouse-move messages too, and those must not count as movement.
    POINT lastPointer_{-1, -1};
    bool pointerSeen_ = false;
    tessaly::AlertControl* pressed_ = nullptr;
    // Messages being handled: the object outlives its window until the outermost one returns.
    int depth_ = 0;
    bool destroyed_ = false;
    // Inside CreateWindowExW: Create, not the window, disposes of a window that failed.
    bool creating_ = false;
};
