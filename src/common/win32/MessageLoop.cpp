#include "common/win32/MessageLoop.h"

namespace tessaly {

namespace {

constexpr wchar_t kDialogKeysProp[] = L"TessalyDialogKeys";
constexpr UINT kCheckMilliseconds = 100;

BOOL CALLBACK FindVisible(HWND window, LPARAM found)
{
    if (IsWindowVisible(window)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool AnyWindowShown()
{
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FindVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

void UseDialogKeys(HWND window)
{
    SetPropW(window, kDialogKeysProp, reinterpret_cast<HANDLE>(1));
}

int RunMessageLoop(HWND main, int exitCode)
{
    // Wakes the loop now and then: a window may go without a message reaching this thread.
    const UINT_PTR timer = SetTimer(nullptr, 0, kCheckMilliseconds, nullptr);
    MSG msg;
    for (;;) {
        if (!IsWindow(main) && !AnyWindowShown())
            break;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got < 0)
            break;
        const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && GetPropW(root, kDialogKeysProp) && IsDialogMessageW(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (timer)
        KillTimer(nullptr, timer);
    return exitCode;
}

} // namespace tessaly
