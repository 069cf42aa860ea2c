#include "shell/TrayDispatch.h"

#include "shell/SysTray.h"

namespace tessaly {

TrayAction TrayActionFor(Qt::WindowStates state, int mouseMessage)
{
    const bool minimised = state.testFlag(Qt::WindowMinimized);
    if (!minimised && (state & (Qt::WindowMaximized | Qt::WindowFullScreen)))
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
