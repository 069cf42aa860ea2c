#include "popup/win32/frmAlert6.h"

#include "common/Settings.h"
#include "common/win32/Guard.h"
#include "common/win32/SetOpacity.h"
#include "popup/AlertPlayerCall.h"

#include <exception>
#include <shellapi.h>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

using namespace tessaly;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

namespace {

constexpr wchar_t kClassName[] = L"Tessaly.frmAlert6";
// The panel's colour beyond the background picture.
constexpr COLORREF kPanelColour = RGB(0x7f, 0x9d, 0xb9);
// "MS Sans Serif" 8.25 pt at 96 pixels per inch.
constexpr int kFontHeight = -11;

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::unordered_map<PopupId, frmAlert6*>& LivePopups()
{
    static std::unordered_map<PopupId, frmAlert6*> live;
    return live;
}

PopupId NewPopupId()
{
    static PopupId last = kNoPopup;
    return ++last;
}

void RegisterAlertClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing))
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        throw std::runtime_error("cannot register the popup's window class (error " +
                                 std::to_string(GetLastError()) + ")");
}

HFONT DialogFont(bool bold)
{
    return CreateFontW(kFontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}

bool Contains(const PixelRect& box, POINT p)
{
    return p.x >= box.x && p.x < box.x + box.width && p.y >= box.y && p.y < box.y + box.height;
}

POINT ClientPoint(LPARAM lParam)
{
    // Signed: a captured pointer may lie left of or above the window.
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void Label(AlertLabel& label, const char16_t* caption, PixelRect box, bool bold, UINT align)
{
    label.caption = caption;
    label.box = box;
    label.bold = bold;
    label.align = align;
}

} // namespace

frmAlert6& frmAlert6::Create(SettingsStore& settings, AlertOwner& owner, HINSTANCE instance)
{
    auto* form = new frmAlert6(settings, owner, instance);
    if (!form->hwnd_) {
        const DWORD error = GetLastError();
        delete form;
        throw std::runtime_error("cannot create the popup window (error " + std::to_string(error) +
                                 ")");
    }
    return *form;
}

frmAlert6::frmAlert6(SettingsStore& settings, AlertOwner& owner, HINSTANCE instance)
    : settings_(settings), owner_(owner), instance_(instance), id_(NewPopupId()),
      motion_(0, AlertMotion::kStartHeight, iAlertHeight)
{
    RegisterAlertClass(instance_, &frmAlert6::WindowProc);
    CreateControls();
    font_ = DialogFont(false);
    boldFont_ = DialogFont(true);
    // The design size until the load step places it. Layered comes with the opacity; a layered
    // window without an alpha would not show at all.
    const PixelRect design = TwipsRect(0, 0, kAlertDesignWidth, 1800);
    creating_ = true;
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0,
                            design.width, design.height, nullptr, nullptr, instance_, this);
    creating_ = false;
    if (!hwnd_)
        return;
    LivePopups().emplace(id_, this);
    Form_Load();
}

frmAlert6::~frmAlert6()
{
    if (font_)
        DeleteObject(font_);
    if (boldFont_)
        DeleteObject(boldFont_);
}

frmAlert6* frmAlert6::Loaded(PopupId id)
{
    const auto it = LivePopups().find(id);
    if (it == LivePopups().end() || it->second->motion_.Unloaded())
        return nullptr;
    return it->second;
}

frmAlert6* frmAlert6::FromWindow(HWND window)
{
    for (const auto& [id, form] : LivePopups())
        if (form->hwnd_ == window)
            return form;
    return nullptr;
}

std::size_t frmAlert6::LoadedCount()
{
    return LivePopups().size();
}

void frmAlert6::UnloadAll()
{
    std::vector<frmAlert6*> open;
    for (const auto& [id, form] : LivePopups())
        open.push_back(form);
    for (frmAlert6* form : open)
        form->Unload();
}

void frmAlert6::CreateControls()
{
    Label(lblTitle, u"Label1", TwipsRect(120, 75, 2295, 255), true, DT_LEFT);
    Label(lblArtist, u"Artist:", TwipsRect(195, 450, 630, 210), true, DT_RIGHT);
    Label(lbl_Artist, u"", TwipsRect(870, 465, 2700, 240), false, DT_LEFT);
    Label(lblAlbum, u"Album:", TwipsRect(195, 720, 630, 210), true, DT_RIGHT);
    Label(lbl_Album, u"", TwipsRect(870, 735, 2700, 240), false, DT_LEFT);
    Label(lblSongTitle, u"Title:", TwipsRect(195, 990, 630, 210), true, DT_RIGHT);
    Label(lbl_Title, u"", TwipsRect(870, 990, 2700, 225), false, DT_LEFT);
    // Over the rows, transparent: the message and the link area.
    Label(lblAlert, u"", TwipsRect(210, 480, 3405, 795), false, DT_CENTER);
    Label(lblLink, u"Label1", TwipsRect(360, 2040, 2055, 375), false, DT_LEFT);
    Label(lblURL, u"Label1", TwipsRect(360, 2880, 2295, 375), false, DT_LEFT);

    struct ButtonDesign {
        std::array<AlertImage, 3>* array;
        PopupPicture normal;
        PopupPicture hover;
        int left, top, size;
    };
    const ButtonDesign buttons[] = {
        {&imgBack, PopupPicture::BackNormal, PopupPicture::BackHover, 1260, 1305, 240},
        {&imgPause, PopupPicture::PauseNormal, PopupPicture::PauseHover, 1650, 1275, 315},
        {&imgForward, PopupPicture::ForwardNormal, PopupPicture::ForwardHover, 2130, 1305, 240},
    };
    for (const ButtonDesign& b : buttons) {
        for (int i = 0; i < 3; ++i) {
            AlertImage& image = (*b.array)[static_cast<std::size_t>(i)];
            // The picture stores sit beside the visible button, hidden.
            image.box = TwipsRect(b.left + i * (b.size + 45), b.top, b.size, b.size);
            image.picture = PopupBitmap(instance_, i == 2 ? b.hover : b.normal);
            image.visible = i == 0;
        }
    }
    const auto image = [this](AlertImage& control, PopupPicture picture, PixelRect box,
                              bool visible) {
        control.box = box;
        control.picture = PopupBitmap(instance_, picture);
        control.visible = visible;
    };
    image(imgX, PopupPicture::CloseNormal, TwipsRect(3405, 45, 225, 240), true);
    image(imgXNormal, PopupPicture::CloseNormal, TwipsRect(960, 2520, 225, 240), false);
    image(imgXOver, PopupPicture::CloseHover, TwipsRect(720, 2520, 210, 225), false);
    image(imgPointer, PopupPicture::Pointer, TwipsRect(1920, 3600, 480, 480), false);
}

void frmAlert6::Form_Load()
{
    const int screenRight = PixelsToTwips(GetSystemMetrics(SM_CXSCREEN));
    placement_ = LoadPlacement(screenRight, GetSystemMetrics(SM_CYFULLSCREEN));
    motion_ = AlertMotion(placement_.top, placement_.height, iAlertHeight);
    ApplyGeometry();

    const std::u16string opacity = settings::Read(settings_, settings::kOpacity);
    if (!settings::ParseInt16(opacity))
        LogWarning("popup", "the stored Opacity is not a whole number; using the default");
    if (const std::optional<std::int16_t> alpha = PopupAlpha(opacity))
        SetOpacity(hwnd_, *alpha);
    SyncTimers();
}

void frmAlert6::ApplyGeometry()
{
    const int left = TwipsToPixels(placement_.left);
    const int top = TwipsToPixels(motion_.Top());
    // Both edges rounded on their own, so the bottom edge stays put while the top moves.
    SetWindowPos(hwnd_, nullptr, left, top, TwipsToPixels(placement_.width),
                 TwipsToPixels(motion_.Bottom()) - top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void frmAlert6::SetTimerEnabled(UINT_PTR timer, bool enabled, UINT interval)
{
    bool& running = timerRunning_[timer];
    if (enabled && !running)
        running = SetTimer(hwnd_, timer, interval, nullptr) != 0;
    else if (!enabled && running) {
        KillTimer(hwnd_, timer);
        running = false;
    }
}

void frmAlert6::SyncTimers()
{
    if (!hwnd_)
        return;
    SetTimerEnabled(kTimer1, motion_.Timer1Enabled(), kMotionIntervalMs);
    SetTimerEnabled(kTimer3, motion_.Timer3Enabled(), kMotionIntervalMs);
    if (motion_.HoldStarts() != holdStartsSeen_ && motion_.Timer2Enabled()) {
        // Setting a running timer again starts its interval over.
        timerRunning_[kTimer2] = SetTimer(hwnd_, kTimer2, kHoldIntervalMs, nullptr) != 0;
    } else {
        SetTimerEnabled(kTimer2, motion_.Timer2Enabled(), kHoldIntervalMs);
    }
    holdStartsSeen_ = motion_.HoldStarts();
}

void frmAlert6::Invalidate(const AlertControl& control)
{
    if (!hwnd_)
        return;
    const RECT r{control.box.x, control.box.y, control.box.x + control.box.width,
                 control.box.y + control.box.height};
    InvalidateRect(hwnd_, &r, FALSE);
}

void frmAlert6::SetCaption(AlertText label, std::u16string_view caption)
{
    AlertLabel* control = nullptr;
    switch (label) {
    case AlertText::lblTitle:
        control = &lblTitle;
        break;
    case AlertText::lbl_Artist:
        control = &lbl_Artist;
        break;
    case AlertText::lbl_Album:
        control = &lbl_Album;
        break;
    case AlertText::lbl_Title:
        control = &lbl_Title;
        break;
    case AlertText::lblAlert:
        control = &lblAlert;
        break;
    case AlertText::lblLink:
        control = &lblLink;
        break;
    case AlertText::lblURL:
        control = &lblURL;
        break;
    }
    if (!control)
        return;
    control->caption = caption;
    Invalidate(*control);
}

void frmAlert6::Hide(AlertPart part)
{
    AlertControl* control = nullptr;
    switch (part) {
    case AlertPart::lblArtist:
        control = &lblArtist;
        break;
    case AlertPart::lblAlbum:
        control = &lblAlbum;
        break;
    case AlertPart::lblSongTitle:
        control = &lblSongTitle;
        break;
    case AlertPart::imgBack:
        control = &imgBack[0];
        break;
    case AlertPart::imgPause:
        control = &imgPause[0];
        break;
    case AlertPart::imgForward:
        control = &imgForward[0];
        break;
    }
    if (!control)
        return;
    control->visible = false;
    Invalidate(*control);
}

void frmAlert6::UseHandCursorOnMessage()
{
    lblAlert.cursor = PopupHandCursor(instance_);
}

void frmAlert6::RestartHold()
{
    motion_.RestartHold();
    SyncTimers();
}

void frmAlert6::Show()
{
    if (hwnd_)
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void frmAlert6::Unload()
{
    motion_.Unload();
    SyncTimers();
    if (hwnd_ && !destroyed_)
        DestroyWindow(hwnd_); // may delete this when no handler of ours is running
}

void frmAlert6::Timer1_Timer()
{
    motion_.SlideInTick();
    ApplyGeometry();
    SyncTimers();
}

void frmAlert6::Timer2_Timer()
{
    motion_.HoldTick();
    SyncTimers();
}

void frmAlert6::Timer3_Timer()
{
    if (motion_.SlideOutTick()) {
        Unload();
        return;
    }
    ApplyGeometry();
    SyncTimers();
}

bool frmAlert6::CallPlayer(const char* operation, PlayerResult (Player::*call)())
{
    return CallAlertPlayer(owner_, operation, call, LogFailures("popup"));
}

void frmAlert6::imgBack_Click()
{
    TrackCommand("PreviousTrack", &Player::PreviousTrack);
}

void frmAlert6::imgForward_Click()
{
    TrackCommand("NextTrack", &Player::NextTrack);
}

void frmAlert6::TrackCommand(const char* operation, PlayerResult (Player::*call)())
{
    // Only a track change that happens updates this popup: a failed call records nothing. The
    // call may run messages (COM does), and the popup may have closed when it returns.
    if (!CallPlayer(operation, call) || destroyed_)
        return;
    owner_.RecordAlertChange(id_);
}

void frmAlert6::imgPause_Click()
{
    CallPlayer("PlayPause", &Player::PlayPause);
}

void frmAlert6::imgX_Click()
{
    Unload();
}

void frmAlert6::imgBack_MouseMove()
{
    imgBack[0].picture = imgBack[2].picture;
    Invalidate(imgBack[0]);
}

void frmAlert6::imgForward_MouseMove()
{
    imgForward[0].picture = imgForward[2].picture;
    Invalidate(imgForward[0]);
}

void frmAlert6::imgPause_MouseMove()
{
    imgPause[0].picture = imgPause[2].picture;
    Invalidate(imgPause[0]);
}

void frmAlert6::imgX_MouseMove()
{
    imgX.picture = imgXOver.picture;
    Invalidate(imgX);
}

void frmAlert6::lblTitle_MouseMove()
{
    imgX.picture = imgXNormal.picture;
    Invalidate(imgX);
}

void frmAlert6::lblAlert_Click()
{
    if (lblLink.caption != kLinkOn)
        return;
    const std::wstring wide(Wide(lblURL.caption), lblURL.caption.size());
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string address(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), length, address.data(), needed, nullptr,
                            nullptr);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(hwnd_, "Open", address.c_str(), "0", "0", SW_SHOWDEFAULT));
    if (result <= 32)
        LogWarning("popup", "the shell could not open the link (" + std::to_string(result) + ")");
}

void frmAlert6::Form_MouseMove()
{
    imgX.picture = imgXNormal.picture;
    imgForward[0].picture = imgForward[1].picture;
    imgBack[0].picture = imgBack[1].picture;
    imgPause[0].picture = imgPause[1].picture;
    for (const AlertControl* c :
         {static_cast<AlertControl*>(&imgX), static_cast<AlertControl*>(&imgForward[0]),
          static_cast<AlertControl*>(&imgBack[0]), static_cast<AlertControl*>(&imgPause[0])})
        Invalidate(*c);
    RestartHold();
}

AlertControl* frmAlert6::ControlAt(POINT client)
{
    // Topmost first: the later a control is in the design, the higher it lies.
    AlertControl* const order[] = {
        &lblURL,        &lblLink,       &imgPointer,  &imgXOver,    &imgXNormal,   &imgForward[2],
        &imgForward[1], &imgForward[0], &imgPause[2], &imgPause[1], &imgPause[0],  &imgBack[2],
        &imgBack[1],    &imgBack[0],    &lblAlert,    &lbl_Title,   &lblSongTitle, &lbl_Album,
        &lblAlbum,      &lbl_Artist,    &lblArtist,   &imgX,        &lblTitle,
    };
    for (AlertControl* control : order)
        if (control->visible && Contains(control->box, client))
            return control;
    return nullptr;
}

void frmAlert6::MouseMove(POINT client)
{
    POINT screen = client;
    ClientToScreen(hwnd_, &screen);
    if (pointerSeen_ && screen.x == lastPointer_.x && screen.y == lastPointer_.y)
        return; // the window moved under a resting pointer
    pointerSeen_ = true;
    lastPointer_ = screen;

    AlertControl* control = ControlAt(client);
    if (!control)
        Form_MouseMove();
    else if (control == &imgBack[0])
        imgBack_MouseMove();
    else if (control == &imgForward[0])
        imgForward_MouseMove();
    else if (control == &imgPause[0])
        imgPause_MouseMove();
    else if (control == &imgX)
        imgX_MouseMove();
    else if (control == &lblTitle)
        lblTitle_MouseMove();
}

void frmAlert6::MouseDown(POINT client)
{
    pressed_ = ControlAt(client);
    if (pressed_)
        SetCapture(hwnd_);
}

void frmAlert6::MouseUp(POINT client)
{
    AlertControl* const pressed = pressed_;
    pressed_ = nullptr;
    if (GetCapture() == hwnd_)
        ReleaseCapture();
    // A click is press and release on the same control.
    if (!pressed || ControlAt(client) != pressed)
        return;
    if (pressed == &imgBack[0])
        imgBack_Click();
    else if (pressed == &imgForward[0])
        imgForward_Click();
    else if (pressed == &imgPause[0])
        imgPause_Click();
    else if (pressed == &imgX)
        imgX_Click();
    else if (pressed == &lblAlert)
        lblAlert_Click();
}

void frmAlert6::Paint(HDC target)
{
    // The full design size, drawn off screen and copied: the window shows its top part while it
    // rises, and nothing flickers.
    const int width = TwipsToPixels(iAlertWidth);
    const int height = TwipsToPixels(iAlertHeight);
    HDC canvas = CreateCompatibleDC(target);
    HBITMAP surface = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ oldSurface = SelectObject(canvas, surface);

    HBRUSH panel = CreateSolidBrush(kPanelColour);
    const RECT all{0, 0, width, height};
    FillRect(canvas, &all, panel);
    DeleteObject(panel);
    DrawPopupBitmap(canvas, PopupBitmap(instance_, PopupPicture::Background), 0, 0);

    for (const AlertImage* image : {&imgX, &imgBack[0], &imgPause[0], &imgForward[0]})
        if (image->visible)
            DrawPopupBitmap(canvas, image->picture, image->box.x, image->box.y);

    SetBkMode(canvas, TRANSPARENT);
    SetTextColor(canvas, RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(canvas, font_);
    for (const AlertLabel* label : {&lblTitle, &lblArtist, &lbl_Artist, &lblAlbum, &lbl_Album,
                                    &lblSongTitle, &lbl_Title, &lblAlert}) {
        if (!label->visible || label->caption.empty())
            continue;
        SelectObject(canvas, label->bold ? boldFont_ : font_);
        RECT box{label->box.x, label->box.y, label->box.x + label->box.width,
                 label->box.y + label->box.height};
        // Without DT_NOPREFIX a single "&" underlines the next character and "&&" shows one.
        DrawTextW(canvas, Wide(label->caption), static_cast<int>(label->caption.size()), &box,
                  label->align | DT_TOP | DT_WORDBREAK);
    }
    SelectObject(canvas, oldFont);

    BitBlt(target, 0, 0, width, height, canvas, 0, 0, SRCCOPY);
    SelectObject(canvas, oldSurface);
    DeleteObject(surface);
    DeleteDC(canvas);
}

LRESULT frmAlert6::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1)
            Timer1_Timer();
        else if (wParam == kTimer2)
            Timer2_Timer();
        else if (wParam == kTimer3)
            Timer3_Timer();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd_, &p);
            const AlertControl* control = ControlAt(p);
            SetCursor(control && control->cursor
                          ? control->cursor
                          : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        MouseMove(ClientPoint(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        MouseDown(ClientPoint(lParam));
        return 0;
    case WM_LBUTTONUP:
        MouseUp(ClientPoint(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = nullptr;
        return 0;
    case WM_NCDESTROY:
        LivePopups().erase(id_);
        motion_.Unload();
        timerRunning_ = {};
        destroyed_ = true;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        {
            HWND window = hwnd_;
            hwnd_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK frmAlert6::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* form = static_cast<frmAlert6*>(create->lpCreateParams);
        form->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frmAlert6*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    ++form->depth_;
    // Nothing may unwind into the system's message dispatch: a failing handler is reported and
    // the popup carries on.
    Guarded("popup", "a popup handler",
            [&] { result = form->HandleMessage(message, wParam, lParam); });
    --form->depth_;
    // Created by Create, owned by the window: gone with it, once no handler of ours runs.
    if (form->destroyed_ && form->depth_ == 0 && !form->creating_)
        delete form;
    return result;
}
