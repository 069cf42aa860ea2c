#include "common/win32/SetOpacity.h"

namespace tessaly {

namespace {

using SetLayeredAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up at run time: a system without layered windows lacks the call, and then the window
// simply stays opaque.
SetLayeredAttributes LayeredAttributesCall()
{
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<SetLayeredAttributes>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
}

} // namespace

std::int32_t SetOpacity(HWND hWnd, std::int16_t alpha)
{
    if (alpha < 0 || alpha > 255)
        return kOpacityOutOfRange;
    const SetLayeredAttributes setAttributes = LayeredAttributesCall();
    // The style's bits are a 32-bit value on both widths.
    const LONG style = GetWindowLongA(hWnd, GWL_EXSTYLE);
    SetWindowLongA(hWnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    if (!setAttributes)
        return kOpacityUnsupported;
    setAttributes(hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    return kOpacityApplied;
}

} // namespace tessaly
