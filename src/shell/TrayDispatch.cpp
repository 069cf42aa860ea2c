#include "shell/TrayDispatch.h"

namespace tessaly {

TrayAction TrayActionFor(WindowState state, int mouseMessage)
{
    if (!state.minimized && state.maximized)
        return TrayAction::None;
    switch (mouseMessage) {
    case kWM_RBUTTONUP:
        return TrayAction::PopupMenu;
    case kWM_LBUTTONDBLCLK:
        return TrayAction::ShowNormal;
    default:
        return TrayAction::None;
    }
}

} // namespace tessaly
