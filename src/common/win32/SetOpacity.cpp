#include "common/win32/SetOpacity.h"

namespace tessaly {

std::int32_t SetOpacity(HWND hWnd, std::int16_t alpha)
{
    if (alpha < 0 || alpha > 255)
        return kOpacityOutOfRange;
    // GetWindowLongA and SetWindowLongA return 0 both for a zero style and on failure; only the
    // last error tells them apart.
    SetLastError(ERROR_SUCCESS);
    const LONG style = GetWindowLongA(hWnd, GWL_EXSTYLE);
    if (style == 0 && GetLastError() != ERROR_SUCCESS)
        return kOpacityUnsupported;
    SetLastError(ERROR_SUCCESS);
    if (SetWindowLongA(hWnd, GWL_EXSTYLE, style | WS_EX_LAYERED) == 0 &&
        GetLastError() != ERROR_SUCCESS)
        return kOpacityUnsupported;
    if (!SetLayeredWindowAttributes(hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA))
        return kOpacityUnsupported;
    return kOpacityApplied;
}

} // namespace tessaly
