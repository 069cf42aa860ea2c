// The Windows popup driven through its port as the main window drives it, with a fake player and
// owner: placement, translucency, activation, the rise, hold and sink on real timers, the
// buttons, the hover and the in-place update after Back. Clicks and pointer movement arrive as
// the window messages the system would send.

#include "common/Settings.h"
#include "common/Twips.h"
#include "popup/win32/frmAlert6.h"
#include "popup/win32/Win32Alerts.h"
#include "watcher/Player.h"
#include "WineSupport.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class FakePlayer : public Player {
public:
    void SetEvents(PlayerEvents*) override {}
    std::unique_ptr<PlayerTrack> CurrentTrack() override { return nullptr; }
    std::u16string CurrentStreamTitle() override { return {}; }
    PlayerResult AppCommandMessageProcessingEnabled(bool) override { return PlayerResult::Ok; }
    PlayerResult PreviousTrack() override { return Call("PreviousTrack"); }
    PlayerResult NextTrack() override { return Call("NextTrack"); }
    PlayerResult PlayPause() override { return Call("PlayPause"); }

    std::vector<std::string> calls;
    PlayerResult result = PlayerResult::Ok;

private:
    PlayerResult Call(const char* name)
    {
        calls.emplace_back(name);
        return result;
    }
};

class FakeOwner : public AlertOwner {
public:
    Player* AlertPlayer() override { return player; }
    void RecordAlertChange(PopupId alert) override { recorded.push_back(alert); }

    Player* player = nullptr;
    std::vector<PopupId> recorded;
};

// Client points of the design's controls (their centres) and of the bare window.
POINT Centre(int left, int top, int width, int height)
{
    const PixelRect r = TwipsRect(left, top, width, height);
    return {r.x + r.width / 2, r.y + r.height / 2};
}
const POINT kBack = Centre(1260, 1305, 240, 240);
const POINT kPause = Centre(1650, 1275, 315, 315);
const POINT kForward = Centre(2130, 1305, 240, 240);
const POINT kClose = Centre(3405, 45, 225, 240);
const POINT kTitle = Centre(120, 75, 2295, 255);
const POINT kBareRight{245, 100};
const POINT kBareLeft{4, 100};

constexpr int kFullHeightPx = 117; // 1750 twips
constexpr int kWidthPx = 254;      // 3810 twips

void MoveOver(HWND popup, POINT p)
{
    SendMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
}

void Click(HWND popup, POINT p)
{
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

BOOL CALLBACK CollectPopup(HWND window, LPARAM list)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "Tessaly.frmAlert6")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> Popups()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT Rect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

int Height(HWND window)
{
    const RECT r = Rect(window);
    return r.bottom - r.top;
}

bool WaitRisen(HWND popup, std::chrono::milliseconds timeout = 5s)
{
    return test::PumpMessagesUntil(
        [&] { return IsWindow(popup) && Height(popup) >= kFullHeightPx; }, timeout);
}

class Win32PopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.player = &player;
        alerts = CreateWin32Alerts(settings, owner, GetModuleHandleW(nullptr));
    }
    void TearDown() override
    {
        alerts.reset();
        EXPECT_EQ(OpenWin32Alerts(), 0u);
        if (foreground)
            DestroyWindow(foreground);
    }

    // The single popup a refresh opened.
    HWND ShowTrack(std::u16string_view artist = u"Artist", std::u16string_view album = u"Album",
                   std::u16string_view title = u"Title")
    {
        const std::vector<HWND> before = Popups();
        alerts->ShowRefreshAlert(artist, album, title, u"");
        for (HWND window : Popups())
            if (std::find(before.begin(), before.end(), window) == before.end())
                return window;
        ADD_FAILURE() << "no new popup window";
        return nullptr;
    }

    // A window of the application in use, holding the focus.
    void OpenForegroundWindow()
    {
        foreground = CreateWindowExA(0, "STATIC", "in use", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                     10, 300, 200, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(foreground);
        SetFocus(foreground);
        test::PumpMessagesFor(50ms);
    }

    MemorySettingsStore settings;
    FakePlayer player;
    FakeOwner owner;
    std::unique_ptr<AlertPort> alerts;
    HWND foreground = nullptr;
};

TEST_F(Win32PopupTest, RisesAtTheBottomRightTranslucentUnfocusedThenHoldsSinksAndCloses)
{
    OpenForegroundWindow();
    ASSERT_EQ(GetForegroundWindow(), foreground);

    HWND popup = ShowTrack();
    ASSERT_NE(popup, nullptr);
    const auto shown = Clock::now();

    // A borderless tool window, layered, never activated.
    const LONG_PTR style = GetWindowLongPtrW(popup, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(popup, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(GetForegroundWindow(), foreground);
    EXPECT_EQ(GetActiveWindow(), foreground);

    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 204);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    // Bottom right: placed as if 249 px wide, so 5 px lie beyond the right edge; the bottom edge
    // 26 px below the full-screen client height.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int bottom = GetSystemMetrics(SM_CYFULLSCREEN) + 26;
    RECT r = Rect(popup);
    EXPECT_EQ(r.left, screenWidth - 249);
    EXPECT_EQ(r.right - r.left, kWidthPx);
    EXPECT_EQ(r.bottom, bottom);
    EXPECT_EQ(r.bottom - r.top, 6); // 90 twips

    // The rise: the bottom edge stays, the height grows to the full 117 px.
    bool bottomHeld = true;
    ASSERT_TRUE(test::PumpMessagesUntil(
        [&] {
            bottomHeld = bottomHeld && Rect(popup).bottom == bottom;
            return Height(popup) >= kFullHeightPx;
        },
        5s));
    const double rise = std::chrono::duration<double>(Clock::now() - shown).count();
    std::printf("rise: %.3f s\n", rise);
    EXPECT_TRUE(bottomHeld);
    EXPECT_EQ(Height(popup), kFullHeightPx);
    // 56 timer ticks: about 0.9 s at the desktop's timer granularity, less where ticks come
    // faster; never instant, never many seconds.
    EXPECT_GT(rise, 0.2);
    EXPECT_LT(rise, 3.0);

    // The hold: five seconds at full height (checked for four).
    const auto risen = Clock::now();
    EXPECT_FALSE(test::PumpMessagesUntil([&] { return Height(popup) < kFullHeightPx; }, 4s));
    EXPECT_EQ(GetForegroundWindow(), foreground);

    // The sink, then the window is gone.
    int lowest = kFullHeightPx;
    ASSERT_TRUE(test::PumpMessagesUntil(
        [&] {
            if (!IsWindow(popup))
                return true;
            lowest = std::min(lowest, Height(popup));
            bottomHeld = bottomHeld && Rect(popup).bottom == bottom;
            return false;
        },
        8s));
    const double held = std::chrono::duration<double>(Clock::now() - risen).count();
    std::printf("hold and sink: %.3f s\n", held);
    EXPECT_GT(held, 5.0);
    EXPECT_LT(lowest, 20);
    EXPECT_TRUE(bottomHeld);
    EXPECT_EQ(OpenWin32Alerts(), 0u);
    EXPECT_EQ(GetForegroundWindow(), foreground);
}

TEST_F(Win32PopupTest, TakesItsAlphaFromTheStoredOpacity)
{
    struct Case {
        const char16_t* stored;
        int alpha; // -1: not translucent
    };
    const Case cases[] = {
        {u"80", 204}, {u"100", 255}, {u"50", 128}, {u"0", 0},
        {u"30", 76},  {u"101", -1},  {u"-5", -1},  {u"junk", 204},
    };
    for (const Case& c : cases) {
        settings.write(u"Opacity", c.stored);
        HWND popup = ShowTrack();
        ASSERT_NE(popup, nullptr);
        BYTE alpha = 0;
        DWORD flags = 0;
        const bool layered = GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_LAYERED;
        if (c.alpha < 0) {
            EXPECT_FALSE(layered) << "Opacity " << std::string(c.stored, c.stored + 3);
        } else {
            EXPECT_TRUE(layered);
            EXPECT_TRUE(GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags));
            EXPECT_EQ(alpha, c.alpha);
        }
        frmAlert6::FromWindow(popup)->Unload();
        EXPECT_FALSE(IsWindow(popup));
    }
}

TEST_F(Win32PopupTest, ShowsTheTrackAndDrawsItsPictures)
{
    HWND popup = ShowTrack(u"AC&DC", u"", u"T.N.T.");
    ASSERT_TRUE(WaitRisen(popup));
    frmAlert6* form = frmAlert6::FromWindow(popup);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->lblTitle.caption, u"iTunes Playing...");
    EXPECT_EQ(form->lbl_Artist.caption, u"AC&&DC"); // shown literally
    EXPECT_EQ(form->lbl_Title.caption, u"T.N.T.");
    EXPECT_FALSE(form->lblAlbum.visible); // no album: its caption is hidden
    EXPECT_TRUE(form->lblArtist.visible);
    EXPECT_TRUE(form->imgBack[0].visible);
    EXPECT_EQ(form->lblAlert.cursor, nullptr); // no link

    // The client area as the window paints it.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidthPx;
    info.bmiHeader.biHeight = -kFullHeightPx;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP surface = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, surface);
    SendMessageW(popup, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto pixel = [&](POINT p) {
        const DWORD v = static_cast<const DWORD*>(bits)[p.y * kWidthPx + p.x];
        return std::array<int, 3>{static_cast<int>((v >> 16) & 0xff),
                                  static_cast<int>((v >> 8) & 0xff), static_cast<int>(v & 0xff)};
    };
    const auto closeButton = pixel({kClose.x, kClose.y + 4});
    const auto panel = pixel(kBareLeft);
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    // The close button is red; the panel pale blue-white.
    EXPECT_GT(closeButton[0], closeButton[1] + 60) << closeButton[0] << "," << closeButton[1];
    EXPECT_GT(closeButton[0], closeButton[2] + 60);
    EXPECT_GT(panel[0], 180);
    EXPECT_GT(panel[2], 200);
    EXPECT_GE(panel[2], panel[0]);
}

TEST_F(Win32PopupTest, BackThenTheNextRefreshUpdatesTheSamePopup)
{
    HWND popup = ShowTrack(u"A1", u"B1", u"C1");
    ASSERT_TRUE(WaitRisen(popup));
    frmAlert6* form = frmAlert6::FromWindow(popup);
    ASSERT_NE(form, nullptr);

    Click(popup, kBack);
    EXPECT_EQ(player.calls, std::vector<std::string>{"PreviousTrack"});
    ASSERT_EQ(owner.recorded, std::vector<PopupId>{form->Id()});

    // The refresh the track change causes, with a marker kept as it is.
    const int holdStarts = form->Motion().HoldStarts();
    alerts->UpdateRecordedAlert(owner.recorded.back(), u"B&2", u"A2", u"C2");
    EXPECT_EQ(form->Motion().HoldStarts(), holdStarts + 1); // the hold starts over
    EXPECT_EQ(Popups(), std::vector<HWND>{popup});
    EXPECT_EQ(form->lbl_Album.caption, u"B&2");
    EXPECT_EQ(form->lbl_Artist.caption, u"A2");
    EXPECT_EQ(form->lbl_Title.caption, u"C2");
    EXPECT_EQ(form->lblTitle.caption, u"iTunes Playing...");

    Click(popup, kForward);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"PreviousTrack", "NextTrack"}));
    EXPECT_EQ(owner.recorded, (std::vector<PopupId>{form->Id(), form->Id()}));
    alerts->UpdateRecordedAlert(form->Id(), u"B3", u"A3", u"C3");
    EXPECT_EQ(form->lbl_Title.caption, u"C3");

    // Once closed, the record names nothing: the update shows nothing and opens nothing.
    const PopupId id = form->Id();
    Click(popup, kClose);
    EXPECT_FALSE(IsWindow(popup));
    alerts->UpdateRecordedAlert(id, u"B4", u"A4", u"C4");
    alerts->UpdateRecordedAlert(id + 1000, u"B4", u"A4", u"C4");
    EXPECT_TRUE(Popups().empty());
}

TEST_F(Win32PopupTest, PauseAndFailedCallsRecordNothing)
{
    HWND popup = ShowTrack();
    ASSERT_TRUE(WaitRisen(popup));

    Click(popup, kPause);
    EXPECT_EQ(player.calls, std::vector<std::string>{"PlayPause"});
    EXPECT_TRUE(owner.recorded.empty());

    // The player refuses, then is gone: the popup records nothing and carries on.
    player.result = PlayerResult::Failed;
    Click(popup, kBack);
    owner.player = nullptr;
    Click(popup, kForward);
    Click(popup, kPause);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"PlayPause", "PreviousTrack"}));
    EXPECT_TRUE(owner.recorded.empty());
    EXPECT_TRUE(IsWindow(popup));

    // Press on one button and release on another is no click.
    owner.player = &player;
    player.result = PlayerResult::Ok;
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kBack.x, kBack.y));
    SendMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(kForward.x, kForward.y));
    EXPECT_EQ(player.calls.size(), 2u);
}

TEST_F(Win32PopupTest, CloseButtonEndsThePopupAtOnceEvenWhileRising)
{
    HWND first = ShowTrack();
    HWND second = ShowTrack();
    ASSERT_NE(first, second);
    // Two popups share the place.
    EXPECT_EQ(Rect(first).bottom, Rect(second).bottom);
    EXPECT_EQ(OpenWin32Alerts(), 2u);

    test::PumpMessagesFor(100ms);
    ASSERT_LT(Height(first), kFullHeightPx);
    Click(first, kClose);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(OpenWin32Alerts(), 1u);
    // The other runs on.
    EXPECT_TRUE(WaitRisen(second));
}

TEST_F(Win32PopupTest, HoverSwapsPicturesAndMovementOverTheBareWindowRestartsTheHold)
{
    HWND popup = ShowTrack();
    ASSERT_TRUE(WaitRisen(popup));
    const auto risen = Clock::now();
    frmAlert6* form = frmAlert6::FromWindow(popup);
    ASSERT_NE(form, nullptr);

    MoveOver(popup, kBack);
    EXPECT_EQ(form->imgBack[0].picture, form->imgBack[2].picture);
    MoveOver(popup, kPause);
    EXPECT_EQ(form->imgPause[0].picture, form->imgPause[2].picture);
    MoveOver(popup, kForward);
    EXPECT_EQ(form->imgForward[0].picture, form->imgForward[2].picture);
    MoveOver(popup, kClose);
    EXPECT_EQ(form->imgX.picture, form->imgXOver.picture);
    MoveOver(popup, kTitle);
    EXPECT_EQ(form->imgX.picture, form->imgXNormal.picture);
    EXPECT_EQ(form->imgBack[0].picture, form->imgBack[2].picture); // stays until the bare window

    // Three seconds into the hold the pointer crosses the bare window.
    test::PumpMessagesFor(3s);
    MoveOver(popup, kBareRight);
    const auto moved = Clock::now();
    EXPECT_EQ(form->imgBack[0].picture, form->imgBack[1].picture);
    EXPECT_EQ(form->imgPause[0].picture, form->imgPause[1].picture);
    EXPECT_EQ(form->imgForward[0].picture, form->imgForward[1].picture);
    // A pointer resting at the same place later is no movement (a window moving under it gets
    // such messages).
    test::PumpMessagesFor(1500ms);
    MoveOver(popup, kBareRight);

    // Past the first five seconds it is still up; it sinks five seconds after the movement.
    EXPECT_FALSE(test::PumpMessagesUntil(
        [&] { return Height(popup) < kFullHeightPx; },
        std::chrono::duration_cast<std::chrono::milliseconds>(risen + 6500ms - Clock::now())));
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return Height(popup) < kFullHeightPx; }, 5s));
    const double hold = std::chrono::duration<double>(Clock::now() - moved).count();
    std::printf("hold after the movement: %.3f s\n", hold);
    EXPECT_GT(hold, 4.5);
    EXPECT_LT(hold, 6.0); // not restarted by the resting pointer at 1.5 s
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(popup); }, 5s));
}

TEST_F(Win32PopupTest, RadioPopupShowsTheMessageWithoutPlayerButtons)
{
    alerts->ShowRefreshAlert(u"", u"", u"", u"Station\r\n\r\nStream & title");
    const std::vector<HWND> popups = Popups();
    ASSERT_EQ(popups.size(), 1u);
    frmAlert6* form = frmAlert6::FromWindow(popups[0]);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->lblTitle.caption, u"iTunes Radio...");
    EXPECT_EQ(form->lblAlert.caption, u"Station\r\n\r\nStream & title");
    EXPECT_FALSE(form->imgBack[0].visible);
    EXPECT_FALSE(form->imgPause[0].visible);
    EXPECT_FALSE(form->imgForward[0].visible);
    // Clicks where the buttons would be reach nothing; the message is no link.
    ASSERT_TRUE(WaitRisen(popups[0]));
    Click(popups[0], kBack);
    Click(popups[0], kPause);
    Click(popups[0], Centre(210, 480, 3405, 795));
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(IsWindow(popups[0]));
}

TEST_F(Win32PopupTest, TheLinkAreaShowsTheHandPointer)
{
    HWND popup = ShowTrack();
    ASSERT_TRUE(WaitRisen(popup));
    frmAlert6* form = frmAlert6::FromWindow(popup);
    ASSERT_NE(form, nullptr);
    // What MSN6 does for a notification with a link.
    form->UseHandCursorOnMessage();
    ASSERT_NE(form->lblAlert.cursor, nullptr);

    const auto cursorOver = [&](POINT client) {
        POINT screen = client;
        ClientToScreen(popup, &screen);
        SetCursorPos(screen.x, screen.y);
        SetCursor(nullptr);
        SendMessageW(popup, WM_SETCURSOR, reinterpret_cast<WPARAM>(popup),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorOver(Centre(210, 480, 3405, 795)), form->lblAlert.cursor);
    EXPECT_EQ(cursorOver(kBareLeft), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

} // namespace
} // namespace tessaly
