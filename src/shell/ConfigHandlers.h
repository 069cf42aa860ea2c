#pragma once

// The configuration window's handlers: every change is written to the settings store at once,
// the in-memory copies other rules read are kept in step, and the main window's opacity follows
// its spin control, which never goes below 20.

#include "shell/MainWindowView.h"

#include <string>

namespace tessaly {

class SettingsStore;

// The in-memory copies of two controls (frmMain's sFormatString and sShowBallons).
struct ConfigCopies {
    std::u16string sFormatString;
    std::u16string sShowBallons;
};

inline constexpr int kMainOpacityFloor = 20;

class ConfigHandlers {
public:
    ConfigHandlers(SettingsStore& store, MainWindowView& view, ConfigCopies& copies);

    void chkShowBallons_Click();
    void chkStartMinimized_Click();
    void chkPlaylist_Click();
    void txtFormatString_Change();
    void txtPlaylist_Change();
    void VSOpacity_Change();
    // Raises a value below 20 to 20 first; the nested run for 20 completes before this one goes
    // on, and both write the same value.
    void VSMainOpacity_Change();

    // Fills the controls from the store, in the start-up's order; each control's handler runs
    // (even when the stored value equals the control's), which writes the values back.
    void FillControls();

private:
    SettingsStore& store_;
    MainWindowView& view_;
    ConfigCopies& copies_;
};

} // namespace tessaly
