#include "about/win32/frmAbout.h"

#include "about/AboutText.h"
#include "common/Twips.h"
#include "common/win32/DialogFont.h"
#include "common/win32/Guard.h"
#include "common/win32/MessageLoop.h"
#include "shell/MainWindowView.h"

#include <stdexcept>
#include <string>

namespace tessaly {

namespace {

constexpr char kArea[] = "about";
constexpr int kClientWidthTwips = 5730;
constexpr int kClientHeightTwips = 3720;

struct AboutState {
    HWND window = nullptr;
    // The hidden owner keeps the box off the taskbar; the box itself has no owner window of
    // the program.
    HWND owner = nullptr;
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
};

AboutState& Shared()
{
    static AboutState state;
    return state;
}

std::string VersionLine()
{
    return "Version " + std::to_string(TESSALY_VERSION_MAJOR) + "." +
           std::to_string(TESSALY_VERSION_MINOR) + "." + std::to_string(TESSALY_VERSION_REVISION);
}

std::string ApplicationTitle()
{
    std::string title;
    for (const char16_t c : std::u16string_view(kApplicationTitle))
        title += static_cast<char>(c);
    return title;
}

HWND AddControl(HWND parent, const char* className, const char* text, DWORD style, int id, int left,
                int top, int width, int height, HFONT font)
{
    const PixelRect at = TwipsRect(left, top, width, height);
    const HWND control = CreateWindowExA(
        0, className, text, WS_CHILD | WS_VISIBLE | style, at.x, at.y, at.width, at.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (control)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Form_Load: caption, version line, title, then topmost without moving or resizing.
void FormLoad(HWND window)
{
    AboutState& state = Shared();
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    const HWND picIcon =
        AddControl(window, "STATIC", nullptr, SS_ICON, 1, 135, 60, 720, 720, state.font);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    if (!icon)
        icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    SendMessageA(picIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    const std::string title = ApplicationTitle();
    SetWindowTextA(window, ("About " + title).c_str());
    AddControl(window, "STATIC", VersionLine().c_str(), SS_LEFT, 3, 1005, 585, 3885, 225,
               state.font);
    AddControl(window, "STATIC", title.c_str(), SS_LEFT, 2, 1005, 45, 3885, 480, state.font);
    AddControl(window, "STATIC", about::kDescription, SS_LEFT, 4, 1005, 930, 4590, 810, state.font);
    AddControl(window, "EDIT", about::kAcknowledgement,
               ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER, 5, 135, 1860, 5490, 1290,
               state.boldFont);
    const HWND ok = AddControl(window, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 4365,
                               3285, 1260, 345, state.font);
    SetFocus(ok);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // OK is the default and the cancel button: Enter and Escape press it too.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (Shared().window == window)
            Shared().window = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Register(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = AboutProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kAboutWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("the About box's class cannot be registered");
}

} // namespace

HWND AboutBoxWindow()
{
    return Shared().window;
}

void ShowAboutBox(HINSTANCE instance)
{
    AboutState& state = Shared();
    if (state.window) {
        ShowWindow(state.window, SW_SHOW);
        SetForegroundWindow(state.window);
        return;
    }
    Register(instance);
    if (!state.font)
        state.font = DialogFont(false);
    if (!state.boldFont)
        state.boldFont = DialogFont(true);
    if (!state.owner)
        state.owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      instance, nullptr);
    // A fixed dialog frame: no sizing, no minimise or maximise box.
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    constexpr DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const HWND window =
        CreateWindowExW(exStyle, kAboutWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top, state.owner, nullptr,
                        instance, nullptr);
    if (!window)
        throw std::runtime_error("the About box cannot be created");
    state.window = window;
    Guarded(kArea, "frmAbout Form_Load", [window] { FormLoad(window); });
    UseDialogKeys(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

} // namespace tessaly
