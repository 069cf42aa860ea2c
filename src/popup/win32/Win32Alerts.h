#pragma once

// The popups of the Windows program: new frmAlert6 windows for the refreshes, and the in-place
// update of the popup whose Back or Forward button was used.

#include "popup/AlertOwner.h"
#include "watcher/AlertPort.h"

#include <cstddef>
#include <memory>
#include <windows.h>

namespace tessaly {

class SettingsStore;

// hInstance: the module holding the popup's bitmap resources (the exe). settings and owner must
// outlive the port; popups still open when the port goes are closed at once.
std::unique_ptr<AlertPort> CreateWin32Alerts(SettingsStore& settings, AlertOwner& owner,
                                             HINSTANCE instance);

// How many popups are on screen: the program ends only when none is left.
std::size_t OpenWin32Alerts();

} // namespace tessaly
