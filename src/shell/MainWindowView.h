#pragma once

// The main window as the rules see it: its controls by name and what a front-end does on their
// behalf. The Qt and the Win32 front-ends implement it; the rules never touch a widget.

#include "shell/TrayDispatch.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

enum class CheckBox { chkShowBallons, chkStartMinimized, chkPlaylist };
enum class SpinControl { VSOpacity, VSMainOpacity };
enum class TextBox {
    txtArtist,
    txtAlbum,
    txtTitle,
    txtFormatString,
    txtNowPlaying,
    txtOpacity,
    txtMainOpacity,
    txtPlaylist
};

class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    // Check boxes hold 0 (clear), 1 (ticked) or 2 (grey), spin controls 0..100.
    virtual int CheckValue(CheckBox box) const = 0;
    virtual int SpinValue(SpinControl spin) const = 0;
    virtual std::u16string Text(TextBox box) const = 0;
    // Setting a value is a change like the user's: when the value differs, the control's handler
    // runs before the call returns.
    virtual void SetCheckValue(CheckBox box, int value) = 0;
    virtual void SetSpinValue(SpinControl spin, int value) = 0;
    virtual void SetText(TextBox box, std::u16string_view text) = 0;

    // SetOpacity on the main window.
    virtual void SetWindowOpacity(std::int16_t alpha) = 0;

    // The modal "Critcal Error" box for a player that cannot be created.
    virtual void ShowMissingPlayerBox() = 0;
    // AddTrayIcon with the window, its icon, the tip and the callback message.
    virtual void AddTrayIcon(std::u16string_view tip, int callbackMessage) = 0;

    virtual WindowState State() const = 0;
    // Minimised and hidden: only the tray icon remains.
    virtual void HideMinimized() = 0;
    // The normal state, shown modeless.
    virtual void ShowNormal() = 0;
    // Shown modeless in the state it has.
    virtual void ShowAsItIs() = 0;
    // mnuPopup at the pointer.
    virtual void PopupTrayMenu() = 0;
    // The shutdown: the tray icon goes and the window unloads (mnuExit_Click).
    virtual void Exit() = 0;
    // The window unloads without having been shown (the player is missing).
    virtual void Unload() = 0;
};

// The main window's caption and the tray icon's tip.
inline constexpr char16_t kApplicationTitle[] = u"Tessaly";

inline constexpr char16_t kMissingPlayerTitle[] = u"Critcal Error";
inline constexpr char16_t kMissingPlayerText[] =
    u"iTunes is not installed or improperly registered. Please install or repair your iTunes "
    u"installation";

} // namespace tessaly
