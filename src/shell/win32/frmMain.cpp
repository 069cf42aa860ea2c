#include "shell/win32/frmMain.h"

#include "common/Settings.h"
#include "common/Twips.h"
#include "common/win32/DialogFont.h"
#include "common/win32/Guard.h"
#include "common/win32/MessageLoop.h"
#include "common/win32/SetOpacity.h"
#include "common/win32/WinText.h"
#include "publisher/win32/Win32CodePage.h"
#include "shell/NotifyIconData.h"
#include "shell/WebPages.h"
#include "shell/win32/MessageBoxes.h"
#include "shell/win32/OpenWebPage.h"
#include "shell/win32/SysTray.h"
#include "shell/win32/TrayMenu.h"

#include <algorithm>
#include <stdexcept>

namespace tessaly {

namespace {

constexpr char kArea[] = "shell";
constexpr int kFirstControlId = 1000;
constexpr int kSpinMin = 0;
constexpr int kSpinMax = 100;

// Frame positions in the client area; everything else is relative to its frame.
struct TwipsBox {
    int left, top, width, height;
};
constexpr TwipsBox kFrames[] = {
    {60, 75, 4170, 1215},
    {75, 1335, 4170, 1980},
    {75, 3360, 4170, 900},
    {90, 4245, 4140, 1335},
};

enum class Kind { Frame, Label, RightLabel, ReadOnly, Editable, Flat, Instructions, Check, Spin };

struct ControlSpec {
    frmMain::Control name;
    Kind kind;
    int frame; // index into kFrames, -1 for the client area
    TwipsBox box;
    const wchar_t* caption;
};

constexpr wchar_t kInstructions[] = L"Specify the format of the status display:\r\n"
                                    L"   %A - Artist\r\n"
                                    L"   %L - Album\r\n"
                                    L"   %T - Title\r\n"
                                    L"ex. %L: %A - %T\r\n";

// In creation order, which is the tab order; each access-key label stands right before the box
// it leads to, which is where the dialog manager moves the focus.
const ControlSpec kControls[] = {
    {frmMain::Frame1, Kind::Frame, -1, kFrames[0], L"Current"},
    {frmMain::Frame2, Kind::Frame, -1, kFrames[1], L"Yahoo Messenger Status"},
    {frmMain::Frame3, Kind::Frame, -1, kFrames[2], L"Notifications"},
    {frmMain::Frame4, Kind::Frame, -1, kFrames[3], L"General"},
    {frmMain::lblArtist, Kind::RightLabel, 0, {360, 270, 540, 255}, L"&Artist:"},
    {frmMain::txtArtist, Kind::ReadOnly, 0, {945, 240, 3060, 285}, L""},
    {frmMain::lblAlbum, Kind::RightLabel, 0, {360, 540, 540, 255}, L"A&lbum:"},
    {frmMain::txtAlbum, Kind::ReadOnly, 0, {945, 525, 3060, 285}, L""},
    {frmMain::lblTitle, Kind::RightLabel, 0, {375, 825, 540, 225}, L"&Title:"},
    {frmMain::txtTitle, Kind::ReadOnly, 0, {945, 810, 3060, 285}, L""},
    {frmMain::lblFormatString, Kind::Label, 1, {150, 1320, 1125, 285}, L"Format String:"},
    {frmMain::txtFormatString, Kind::Editable, 1, {1155, 1290, 2460, 300}, L"%L: %A - %T"},
    {frmMain::txtInstructions, Kind::Instructions, 1, {270, 210, 3810, 1050}, kInstructions},
    {frmMain::Label3, Kind::Label, 1, {120, 1650, 300, 240}, L"Ex:"},
    {frmMain::txtNowPlaying, Kind::Flat, 1, {375, 1628, 3720, 285}, L""},
    {frmMain::chkShowBallons, Kind::Check, 2, {315, 255, 1755, 270}, L"   Show Notifications"},
    {frmMain::chkStartMinimized, Kind::Check, 3, {600, 180, 1440, 270}, L" Start Minimized"},
    {frmMain::Label2, Kind::Label, 2, {1245, 555, 585, 210}, L"Opacity"},
    {frmMain::txtOpacity, Kind::ReadOnly, 2, {1875, 525, 390, 285}, L"80"},
    {frmMain::VSOpacity, Kind::Spin, 2, {2265, 525, 150, 270}, L""},
    {frmMain::VSMainOpacity, Kind::Spin, 3, {2235, 465, 150, 270}, L""},
    {frmMain::lblMainOpacity, Kind::Label, 3, {1215, 495, 585, 210}, L"Opacity"},
    {frmMain::txtMainOpacity, Kind::ReadOnly, 3, {1845, 465, 390, 285}, L"80"},
    {frmMain::chkPlaylist, Kind::Check, 3, {315, 750, 1725, 255}, L"Radio: Save Playlist"},
    {frmMain::lblFileName, Kind::Label, 3, {1035, 1050, 810, 195}, L"File Name"},
    {frmMain::txtPlaylist, Kind::Editable, 3, {1830, 1020, 1740, 270}, L"Playlist.txt"},
};

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindOf(Kind kind)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case Kind::Frame:
        return {L"BUTTON", child | BS_GROUPBOX, 0};
    case Kind::Label:
        return {L"STATIC", child | SS_LEFT, 0};
    case Kind::RightLabel:
        return {L"STATIC", child | SS_RIGHT, 0};
    case Kind::ReadOnly:
        return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
    case Kind::Editable:
        return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::Flat:
        return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, 0};
    case Kind::Instructions:
        return {L"EDIT", child | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 0};
    case Kind::Check:
        // The box to the right of the caption; 0, 1 and grey 2 are the button's own states.
        return {L"BUTTON", child | WS_TABSTOP | BS_3STATE | BS_LEFTTEXT, 0};
    case Kind::Spin:
        return {L"SCROLLBAR", child | WS_TABSTOP | SBS_VERT, 0};
    }
    return {L"STATIC", child, 0};
}

int ControlId(frmMain::Control control)
{
    return kFirstControlId + static_cast<int>(control);
}

// The scroll bar's position runs downwards, the spin control's value upwards.
int SpinPosition(int value)
{
    return kSpinMax - value;
}

void RegisterMainClass(HINSTANCE instance, HICON icon, HICON smallIcon, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    // A second window of the program in the same process finds the class registered.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("the main window's class cannot be registered");
}

} // namespace

frmMain::frmMain(frmMainServices services)
    : services_(std::move(services)), controller_(services_.core, *this)
{
    HINSTANCE instance = services_.instance ? services_.instance : GetModuleHandleW(nullptr);
    icon_ = LoadIconA(instance, MAKEINTRESOURCEA(1));
    if (icon_) {
        smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
    } else {
        icon_ = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }
    RegisterMainClass(instance, icon_, smallIcon_, WindowProc);
    font_ = DialogFont(false);
    boldFont_ = DialogFont(true);
    mnuPopup_ = BuildTrayMenu();
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");

    constexpr DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, TwipsToPixels(4335), TwipsToPixels(5655)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window_ = CreateWindowExW(0, kMainWindowClass, ToWide(kApplicationTitle).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!window_)
        throw std::runtime_error("the main window cannot be created");
    BuildControls();
    UseDialogKeys(window_);
}

frmMain::~frmMain()
{
    controller_.Form_Unload();
    RemoveTrayIcon();
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (mnuPopup_)
        DestroyMenu(mnuPopup_);
    if (font_)
        DeleteObject(font_);
    if (boldFont_)
        DeleteObject(boldFont_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

void frmMain::BuildControls()
{
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    for (const ControlSpec& spec : kControls) {
        const WindowKind kind = KindOf(spec.kind);
        const int left = spec.frame < 0 ? 0 : kFrames[spec.frame].left;
        const int top = spec.frame < 0 ? 0 : kFrames[spec.frame].top;
        const PixelRect at =
            TwipsRect(left + spec.box.left, top + spec.box.top, spec.box.width, spec.box.height);
        const HWND control = CreateWindowExW(
            kind.exStyle, kind.className, spec.caption, kind.style, at.x, at.y, at.width, at.height,
            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(spec.name))), instance,
            nullptr);
        if (!control)
            throw std::runtime_error("a control of the main window cannot be created");
        controls_[spec.name] = control;
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(spec.kind == Kind::Frame ? boldFont_ : font_), FALSE);
        if (spec.kind == Kind::Spin) {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
            info.nMin = kSpinMin;
            info.nMax = kSpinMax;
            info.nPage = 0;
            info.nPos = SpinPosition(80);
            SetScrollInfo(control, SB_CTL, &info, FALSE);
        }
    }
    // The frames are drawn behind the controls they hold; being no tab stops, the tab order
    // does not change.
    for (const Control frame : {Frame1, Frame2, Frame3, Frame4})
        SetWindowPos(controls_[frame], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool frmMain::Form_Load()
{
    return controller_.Form_Load();
}

void frmMain::Guard(const char* handler, const std::function<void()>& body)
{
    Guarded(kArea, handler, body);
}

LRESULT CALLBACK frmMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<frmMain*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<frmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT frmMain::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_VSCROLL:
        if (lParam)
            OnSpin(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (HBRUSH brush = OnColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                    message == WM_CTLCOLOREDIT))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            Guard("Form_Resize", [this] { controller_.Form_Resize(); });
        break;
    case WM_CLOSE:
        // The close box and the system menu: the same end as Exit.
        Guard("Form_QueryUnload", [this] { QueryUnload(); });
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            RemoveTrayIcon();
        return 0;
    case WM_DESTROY:
        controller_.Form_Unload();
        RemoveTrayIcon();
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        controls_.fill(nullptr);
        return 0;
    default:
        break;
    }
    // The tray icon's notifications: wParam names the icon, lParam the mouse message. A real
    // mouse move over the window has the pointer's position there instead.
    if (message == trayCallback_ && wParam == kTrayIconId && HIWORD(lParam) == 0 &&
        LOWORD(lParam) >= kWM_MOUSEMOVE && LOWORD(lParam) <= kWM_MBUTTONDBLCLK) {
        const int mouseMessage = LOWORD(lParam);
        Guard("Form_MouseMove", [this, mouseMessage] { controller_.Form_MouseMove(mouseMessage); });
        return 0;
    }
    if (taskbarCreated_ && message == taskbarCreated_) {
        // Explorer started again: the icon comes back.
        RestoreTrayIcon();
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void frmMain::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam == 0) {
        // A menu command (posted by the menu, or by a test driving it).
        RunMenuCommand(LOWORD(wParam));
        return;
    }
    const int id = LOWORD(wParam) - kFirstControlId;
    const int code = HIWORD(wParam);
    ConfigHandlers& rules = controller_.Handlers();
    const auto check = [&](CheckBox box, void (ConfigHandlers::*handler)(), const char* name) {
        // A click ticks a clear or grey box and clears a ticked one.
        const int value = CheckValue(box) == 1 ? 0 : 1;
        SendMessageW(CheckHandle(box), BM_SETCHECK, static_cast<WPARAM>(value), 0);
        Guard(name, [&] { (rules.*handler)(); });
    };
    switch (id) {
    case chkShowBallons:
        if (code == BN_CLICKED)
            check(CheckBox::chkShowBallons, &ConfigHandlers::chkShowBallons_Click,
                  "chkShowBallons_Click");
        break;
    case chkStartMinimized:
        if (code == BN_CLICKED)
            check(CheckBox::chkStartMinimized, &ConfigHandlers::chkStartMinimized_Click,
                  "chkStartMinimized_Click");
        break;
    case chkPlaylist:
        if (code == BN_CLICKED)
            check(CheckBox::chkPlaylist, &ConfigHandlers::chkPlaylist_Click, "chkPlaylist_Click");
        break;
    case txtFormatString:
        if (code == EN_CHANGE && settingText_ == 0)
            Guard("txtFormatString_Change", [&] { rules.txtFormatString_Change(); });
        break;
    case txtPlaylist:
        if (code == EN_CHANGE && settingText_ == 0)
            Guard("txtPlaylist_Change", [&] { rules.txtPlaylist_Change(); });
        break;
    default:
        break;
    }
}

void frmMain::OnSpin(HWND bar, int request)
{
    const SpinControl spin =
        bar == controls_[VSOpacity] ? SpinControl::VSOpacity : SpinControl::VSMainOpacity;
    if (bar != controls_[VSOpacity] && bar != controls_[VSMainOpacity])
        return;
    int value = SpinValue(spin);
    switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
        value += 1;
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        value -= 1;
        break;
    case SB_TOP:
        value = kSpinMax;
        break;
    case SB_BOTTOM:
        value = kSpinMin;
        break;
    case SB_THUMBPOSITION: {
        // The end of a drag; nothing happens while it is under way.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(bar, SB_CTL, &info);
        value = kSpinMax - info.nTrackPos;
        break;
    }
    default:
        return;
    }
    Guard(spin == SpinControl::VSOpacity ? "VSOpacity_Change" : "VSMainOpacity_Change",
          [&] { SetSpinValue(spin, std::clamp(value, kSpinMin, kSpinMax)); });
}

HBRUSH frmMain::OnColour(HDC dc, HWND control, bool editable)
{
    int colour = -1;
    if (control == controls_[txtNowPlaying] || control == controls_[txtInstructions])
        colour = COLOR_BTNFACE;
    else if (!editable && (control == controls_[txtArtist] || control == controls_[txtAlbum] ||
                           control == controls_[txtTitle] || control == controls_[txtOpacity] ||
                           control == controls_[txtMainOpacity]))
        colour = COLOR_3DLIGHT;
    if (colour < 0)
        return nullptr;
    SetBkColor(dc, GetSysColor(colour));
    return GetSysColorBrush(colour);
}

void frmMain::RunMenuCommand(UINT command)
{
    switch (command) {
    case kMnuShow:
        Guard("mnuShow_Click", [this] { controller_.mnuShow_Click(); });
        break;
    case kMnuAbout:
        Guard("mnuAbout_Click", [this] {
            if (services_.showAbout)
                services_.showAbout();
        });
        break;
    case kMnuHelp:
        Guard("mnuHelp_Click", [] { OpenWebPage(web::SupportForumPage(), kSW_SHOWNORMAL); });
        break;
    case kMnuDonate:
        Guard("mnuDonate_Click", [] { OpenWebPage(web::DonationPage(), kSW_SHOWNORMAL); });
        break;
    case kMnuSite:
        Guard("mnuSite_Click", [] { OpenWebPage(web::HomePage(), kSW_SHOWNORMAL); });
        break;
    case kMnuExit:
        Guard("mnuExit_Click", [this] { Exit(); });
        break;
    default:
        break;
    }
}

void frmMain::QueryUnload()
{
    // Every unload, whatever its cause, takes the icon away and goes ahead.
    RemoveTrayIcon();
    Unload();
}

HWND frmMain::CheckHandle(CheckBox box) const
{
    constexpr Control boxes[] = {chkShowBallons, chkStartMinimized, chkPlaylist};
    return controls_[boxes[static_cast<int>(box)]];
}

HWND frmMain::SpinHandle(SpinControl spin) const
{
    return controls_[spin == SpinControl::VSOpacity ? VSOpacity : VSMainOpacity];
}

HWND frmMain::TextHandle(TextBox box) const
{
    constexpr Control boxes[] = {txtArtist,     txtAlbum,   txtTitle,       txtFormatString,
                                 txtNowPlaying, txtOpacity, txtMainOpacity, txtPlaylist};
    return controls_[boxes[static_cast<int>(box)]];
}

int frmMain::CheckValue(CheckBox box) const
{
    const HWND control = CheckHandle(box);
    if (!control)
        return 0;
    // BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE are 0, 1 and 2.
    return static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
}

int frmMain::SpinValue(SpinControl spin) const
{
    return spinValues_[static_cast<int>(spin)];
}

std::u16string frmMain::Text(TextBox box) const
{
    const HWND control = TextHandle(box);
    return control ? WindowText(control) : std::u16string();
}

void frmMain::SetCheckValue(CheckBox box, int value)
{
    if (value < 0 || value > 2)
        throw std::invalid_argument("a check box holds 0, 1 or 2");
    if (CheckValue(box) == value)
        return;
    SendMessageW(CheckHandle(box), BM_SETCHECK, static_cast<WPARAM>(value), 0);
    ConfigHandlers& rules = controller_.Handlers();
    switch (box) {
    case CheckBox::chkShowBallons:
        rules.chkShowBallons_Click();
        break;
    case CheckBox::chkStartMinimized:
        rules.chkStartMinimized_Click();
        break;
    case CheckBox::chkPlaylist:
        rules.chkPlaylist_Click();
        break;
    }
}

void frmMain::SetSpinValue(SpinControl spin, int value)
{
    if (value < kSpinMin || value > kSpinMax)
        throw std::invalid_argument("a spin control holds 0 to 100");
    int& held = spinValues_[static_cast<int>(spin)];
    if (held == value)
        return;
    held = value;
    if (const HWND bar = SpinHandle(spin))
        SetScrollPos(bar, SB_CTL, SpinPosition(value), TRUE);
    if (spin == SpinControl::VSOpacity)
        controller_.Handlers().VSOpacity_Change();
    else
        controller_.Handlers().VSMainOpacity_Change();
}

void frmMain::SetText(TextBox box, std::u16string_view text)
{
    const HWND control = TextHandle(box);
    if (!control || Text(box) == text)
        return;
    ++settingText_;
    SetWindowTextW(control, ToWide(text).c_str());
    --settingText_;
    // A read-only box shows the start of a long text.
    SendMessageW(control, EM_SETSEL, 0, 0);
    if (box == TextBox::txtFormatString)
        controller_.Handlers().txtFormatString_Change();
    else if (box == TextBox::txtPlaylist)
        controller_.Handlers().txtPlaylist_Change();
}

void frmMain::SetWindowOpacity(std::int16_t alpha)
{
    if (window_)
        SetOpacity(window_, alpha);
}

void frmMain::ShowMissingPlayerBox()
{
    tessaly::ShowMissingPlayerBox();
}

void frmMain::AddTrayIcon(std::u16string_view tip, int callbackMessage)
{
    trayCallback_ = static_cast<UINT>(callbackMessage);
    tessaly::AddTrayIcon(window_, icon_, Win32CodePage().FromUnicode(tip), trayCallback_);
}

WindowState frmMain::State() const
{
    if (!window_)
        return {};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(window_, &placement);
    const bool iconic = IsIconic(window_) || hiddenMinimized_;
    return {iconic, IsZoomed(window_) || (iconic && (placement.flags & WPF_RESTORETOMAXIMIZED))};
}

void frmMain::HideMinimized()
{
    if (!window_)
        return;
    hiddenMinimized_ = true;
    // A window that shows is minimised first (which brings the rules back here) and then hidden;
    // one never shown stays as it is, so that its first showing is a normal one.
    if (IsWindowVisible(window_) && !IsIconic(window_))
        ShowWindow(window_, SW_MINIMIZE);
    ShowWindow(window_, SW_HIDE);
}

void frmMain::ShowNormal()
{
    if (!window_)
        return;
    hiddenMinimized_ = false;
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void frmMain::ShowAsItIs()
{
    if (!window_)
        return;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void frmMain::PopupTrayMenu()
{
    if (!window_)
        return;
    // The command runs once the menu has closed.
    RunMenuCommand(TrackTrayMenu(mnuPopup_, window_));
}

void frmMain::Exit()
{
    RemoveTrayIcon();
    QueryUnload();
}

void frmMain::Unload()
{
    controller_.Form_Unload();
    if (window_)
        DestroyWindow(window_);
}

} // namespace tessaly
