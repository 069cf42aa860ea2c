// The real tessaly.exe under Wine, driven from outside as a user would: its windows found by
// class and caption, clicks sent as messages, the fake iTunes steered over COM, the settings
// and the Messenger's profile read from the registry, the playlist from the exe's folder.

#include "watcher/win32/ComSupport.h"
#include "watcher/win32/ITunesIds.h"
#include "WineSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <tlhelp32.h>
#include <vector>

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using com::ComPtr;

constexpr char kSettingsKey[] = "Software\\VB and VBA Program Settings\\Tessaly";
constexpr char kSettingsSection[] = "Software\\VB and VBA Program Settings\\Tessaly\\Settings";
constexpr char kMainClass[] = "TessalyMain";
constexpr char kAboutClass[] = "TessalyAbout";
constexpr char kDialogClass[] = "#32770";
constexpr char kMenuClass[] = "#32768";
constexpr int kFirstControlId = 1000;
// Control ids in the main window: 1000 + the index of the control.
constexpr int kTxtNowPlaying = kFirstControlId + 14;
constexpr int kTxtFormatString = kFirstControlId + 11;
constexpr int kChkShowBallons = kFirstControlId + 15;
constexpr int kVSMainOpacity = kFirstControlId + 20;
constexpr int kTxtMainOpacity = kFirstControlId + 22;
constexpr UINT kMnuAbout = 103;
constexpr UINT kMnuExit = 109;

std::string TextOf(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// A control's own text: GetWindowTextA does not ask a control of another process for it.
std::string ControlText(HWND control)
{
    char text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

struct FoundWindows {
    DWORD process;
    const char* className;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<FoundWindows*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (process == found->process && std::string(className) == found->className &&
        IsWindowVisible(window))
        found->windows.push_back(window);
    return TRUE;
}

// The visible top-level windows of a class that a process owns.
std::vector<HWND> WindowsOf(DWORD process, const char* className)
{
    FoundWindows found{process, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

// The text of a message box's message (its static control with id 0xFFFF).
std::string MessageText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? ControlText(text) : std::string();
}

VARIANT Text(const wchar_t* text)
{
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocString(text);
    return value;
}

VARIANT Number(long number)
{
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I4;
    V_I4(&value) = number;
    return value;
}

class TessalyExeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        test::DeleteKeyTree(kSettingsKey);
        test::DeleteKeyTree("Software\\Yahoo");
        // A folder of its own: the playlist and "error.txt" land beside the program.
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tessaly-e2e";
        CreateDirectoryA(folder_.c_str(), nullptr);
        DeleteFileA((folder_ + "\\Playlist.txt").c_str());
        exe_ = folder_ + "\\tessaly.exe";
        ASSERT_TRUE(CopyFileA(test::WindowsPath(TESSALY_EXE).c_str(), exe_.c_str(), FALSE))
            << GetLastError();
    }

    void TearDown() override
    {
        if (process_.hProcess) {
            // Closed the user's way first, so that the player connection is let go. The program
            // ends once its popups have sunk (some six seconds under Wine's 10 ms timers); a
            // killed program would leave the iTunes server running with no one to release it.
            for (HWND window : WindowsOf(process_.dwProcessId, kMainClass))
                PostMessageA(window, WM_CLOSE, 0, 0);
            if (!waitForExit(20s))
                TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        if (nul_ != INVALID_HANDLE_VALUE)
            CloseHandle(nul_);
        control_.reset();
        CoUninitialize();
        test::DeleteKeyTree(kSettingsKey);
        test::DeleteKeyTree("Software\\Yahoo");
    }

    // The fake iTunes of an earlier test may still be ending; a program started meanwhile can
    // be handed that server while it stops, and then tells the user iTunes is missing.
    static void waitForNoFakeITunes()
    {
        const std::string path = test::WindowsPath(FAKE_ITUNES);
        const std::string name = path.substr(path.find_last_of("\\/") + 1);
        test::PumpMessagesUntil([&] { return !IsRunning(name); }, 10s);
    }

    static bool IsRunning(const std::string& exeName)
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        bool found = false;
        for (BOOL more = Process32First(snapshot, &entry); more && !found;
             more = Process32Next(snapshot, &entry))
            found = _stricmp(entry.szExeFile, exeName.c_str()) == 0;
        CloseHandle(snapshot);
        return found;
    }

    void start()
    {
        waitForNoFakeITunes();
        // The program's output, and that of the iTunes server its COM call starts, goes
        // nowhere: an inherited test pipe would stay open after the test, as long as the server.
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        nul_ = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul_;
        startup.hStdOutput = nul_;
        startup.hStdError = nul_;
        std::string command = "\"" + exe_ + "\"";
        ASSERT_TRUE(CreateProcessA(exe_.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   folder_.c_str(), &startup, &process_))
            << GetLastError();
    }

    // The main window of the started program, once its start-up has shown it.
    HWND mainWindow()
    {
        HWND found = nullptr;
        test::PumpMessagesUntil(
            [&] {
                const std::vector<HWND> windows = WindowsOf(process_.dwProcessId, kMainClass);
                found = windows.empty() ? nullptr : windows.front();
                return found != nullptr;
            },
            20s);
        // Say what came instead, if anything did.
        if (!found)
            for (HWND box : WindowsOf(process_.dwProcessId, kDialogClass))
                ADD_FAILURE() << "a box instead of the main window: " << TextOf(box) << ": "
                              << MessageText(box);
        return found;
    }

    HWND waitForWindow(const char* className, std::chrono::milliseconds timeout = 10s)
    {
        HWND found = nullptr;
        test::PumpMessagesUntil(
            [&] {
                const std::vector<HWND> windows = WindowsOf(process_.dwProcessId, className);
                found = windows.empty() ? nullptr : windows.front();
                return found != nullptr;
            },
            timeout);
        return found;
    }

    bool waitForExit(std::chrono::milliseconds timeout)
    {
        return test::PumpMessagesUntil(
            [&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, timeout);
    }

    bool running() { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The fake iTunes' test controls.
    void control(const wchar_t* method, std::vector<VARIANT> args = {})
    {
        if (!control_) {
            ASSERT_TRUE(SUCCEEDED(CoCreateInstance(itunes::kClsidApp, nullptr, CLSCTX_LOCAL_SERVER,
                                                   IID_IDispatch, control_.putVoid())));
        }
        ASSERT_EQ(com::CallMethod(control_.get(), method, args.data(),
                                  static_cast<unsigned>(args.size())),
                  S_OK);
        for (VARIANT& arg : args)
            VariantClear(&arg);
    }
    void load(const wchar_t* kind, const wchar_t* artist, const wchar_t* album, const wchar_t* name)
    {
        control(L"TestLoad", {Text(kind), Text(artist), Text(album), Text(name)});
    }
    void fire(DISPID id) { control(L"TestFire", {Number(id)}); }

    std::string settingsValue(const char* name)
    {
        const test::RawValue value = test::QueryRawValue(kSettingsSection, name);
        if (value.status != ERROR_SUCCESS)
            return "<missing>";
        std::u16string wide = test::QueryWideValue(kSettingsSection, name);
        while (!wide.empty() && wide.back() == u'\0')
            wide.pop_back();
        return std::string(wide.begin(), wide.end());
    }

    std::string folder_;
    std::string exe_;
    PROCESS_INFORMATION process_{};
    HANDLE nul_ = INVALID_HANDLE_VALUE;
    ComPtr<IDispatch> control_;
};

TEST_F(TessalyExeTest, FirstStartShowsTheWindowAtItsSizeAndWritesTheDefaultsBack)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(window), "Tessaly");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 289); // 4335 twips
    EXPECT_EQ(client.bottom - client.top, 377); // 5655 twips
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);

    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 204);
    EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));

    const std::pair<const char*, const char*> defaults[] = {
        {"Minimized", "0"},        {"Ballons", "1"},       {"Opacity", "80"},
        {"MainOpacity", "80"},     {"RadioPlayList", "0"}, {"PlaylistFile", "Playlist.txt"},
        {"Format", "%L: %A - %T"},
    };
    for (const auto& [name, value] : defaults) {
        EXPECT_EQ(settingsValue(name), value) << name;
        EXPECT_EQ(test::QueryRawValue(kSettingsSection, name).type, static_cast<DWORD>(REG_SZ))
            << name;
    }

    // The controls at their places: txtFormatString at 75 + 1155, 1335 + 1290 twips.
    HWND format = GetDlgItem(window, kTxtFormatString);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(ControlText(format), "%L: %A - %T");
    RECT box{};
    GetWindowRect(format, &box);
    POINT topLeft{box.left, box.top};
    ScreenToClient(window, &topLeft);
    EXPECT_EQ(topLeft.x, 82);
    EXPECT_EQ(topLeft.y, 175);
    char className[32] = {};
    HWND check = GetDlgItem(window, kChkShowBallons);
    GetClassNameA(check, className, sizeof(className));
    EXPECT_STREQ(className, "Button");
    EXPECT_TRUE(GetWindowLongA(check, GWL_STYLE) & BS_LEFTTEXT);
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TextOf(check), "   Show Notifications");
}

TEST_F(TessalyExeTest, ControlsFollowTheTabOrderAndAccessKeysLeadToTheirBoxes)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    // Children in window order: the dialog manager's tab order, and for a label with an access
    // key the box the key moves to (the next tab stop after it).
    std::vector<int> tabStops;
    std::vector<std::pair<std::string, int>> accessKeys;
    std::string pendingLabel;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        const std::string text = ControlText(child);
        char className[32] = {};
        GetClassNameA(child, className, sizeof(className));
        if (std::string(className) == "Static" && text.find('&') != std::string::npos)
            pendingLabel = text;
        if (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) {
            tabStops.push_back(id - kFirstControlId);
            if (!pendingLabel.empty())
                accessKeys.emplace_back(pendingLabel, id - kFirstControlId);
            pendingLabel.clear();
        }
    }
    // txtArtist, txtAlbum, txtTitle, txtFormatString, txtInstructions, txtNowPlaying,
    // chkShowBallons, chkStartMinimized, txtOpacity, VSOpacity, VSMainOpacity, txtMainOpacity,
    // chkPlaylist, txtPlaylist.
    EXPECT_EQ(tabStops, (std::vector<int>{5, 7, 9, 11, 12, 14, 15, 16, 18, 19, 20, 22, 23, 25}));
    EXPECT_EQ(accessKeys, (std::vector<std::pair<std::string, int>>{
                              {"&Artist:", 5}, {"A&lbum:", 7}, {"&Title:", 9}}));
    // The spin controls: vertical scroll bars over 0..100 with 100 at the top.
    HWND spin = GetDlgItem(window, kVSMainOpacity);
    EXPECT_TRUE(GetWindowLongA(spin, GWL_STYLE) & SBS_VERT);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(spin, SB_CTL, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 100);
    EXPECT_EQ(info.nPos, 100 - 80);
    // Read-only boxes take no typing; the format box does.
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(window, kTxtNowPlaying), GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(window, kTxtFormatString), GWL_STYLE) & ES_READONLY);
}

TEST_F(TessalyExeTest, ChangesAreWrittenAtOnceAndTheMainOpacityStaysAtTwentyOrMore)
{
    test::SetRawValue(kSettingsSection, "MainOpacity", REG_SZ, std::string("21\0", 3));
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    HWND spin = GetDlgItem(window, kVSMainOpacity);
    ASSERT_NE(spin, nullptr);
    // The lower arrow, twice: 20, then 19 which goes back to 20.
    for (int i = 0; i < 2; ++i)
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ(settingsValue("MainOpacity"), "20");
    EXPECT_EQ(ControlText(GetDlgItem(window, kTxtMainOpacity)), "20");
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 51);
    SendMessageA(window, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ(settingsValue("MainOpacity"), "21");

    // A click on the check box, and typing in the format box.
    HWND check = GetDlgItem(window, kChkShowBallons);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(kChkShowBallons, BN_CLICKED),
                 reinterpret_cast<LPARAM>(check));
    EXPECT_EQ(settingsValue("Ballons"), "0");
    SetWindowTextA(GetDlgItem(window, kTxtFormatString), "%T");
    EXPECT_EQ(settingsValue("Format"), "%T");
}

TEST_F(TessalyExeTest, TrackChangeShowsAndPublishesTheStatus)
{
    test::ChildProcess standin(MESSENGER_STANDIN, {"--user", "alice"});
    ASSERT_NE(standin.waitForLine("ready ", 20s), "");
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    load(L"MPEG audio file", L"Nina", L"Blue Hour", L"Morning");
    fire(itunes::kOnPlayerPlayingTrackChangedEvent);
    HWND nowPlaying = GetDlgItem(window, kTxtNowPlaying);
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] { return ControlText(nowPlaying) == "Blue Hour: Nina - Morning"; }, 10s))
        << ControlText(nowPlaying);
    EXPECT_EQ(standin.waitForLine("command", 10s), "command 376");
    EXPECT_EQ(standin.waitForLine("command", 10s), "command 388");
    EXPECT_EQ(
        test::QueryRawValue("Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs", "1").bytes,
        test::StoredText("Blue Hour: Nina - Morning"));

    // The popup: at the bottom right of the work area, translucent, never the foreground, and
    // gone by itself after its rise, hold and sink.
    HWND popup = waitForWindow("Tessaly.frmAlert6");
    ASSERT_NE(popup, nullptr);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 204);
    EXPECT_NE(GetForegroundWindow(), popup);
    RECT area{};
    GetWindowRect(popup, &area);
    EXPECT_NEAR(area.right, GetSystemMetrics(SM_CXSCREEN) + 5, 2);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(popup); }, 15s));
}

TEST_F(TessalyExeTest, RadioTitleGoesToThePlaylistBesideTheProgram)
{
    test::SetRawValue(kSettingsSection, "RadioPlayList", REG_SZ, std::string("1\0", 2));
    start();
    ASSERT_NE(mainWindow(), nullptr);
    load(L"MPEG audio stream", L"", L"", L"Radio Tessaly");
    control(L"TestSetStreamTitle", {Text(L"Night Drive")});
    fire(itunes::kOnPlayerPlayingTrackChangedEvent);
    const std::string playlist = folder_ + "\\Playlist.txt";
    std::string content;
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] {
            std::ifstream file(playlist, std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(file), {});
            return !content.empty();
        },
        10s));
    EXPECT_EQ(content, "Night Drive\r\n");
}

TEST_F(TessalyExeTest, QuittingPlayerAsksAndNoKeepsTheProgramRunning)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    fire(itunes::kOnQuittingEvent);
    HWND box = waitForWindow(kDialogClass);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Tessaly");
    EXPECT_EQ(MessageText(box), "Itunes Closing, would you like Tessaly to shutdown?");
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(box); }, 5s));
    test::PumpMessagesFor(1s);
    EXPECT_TRUE(running());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(TessalyExeTest, QuittingPlayerAndYesEndTheProgram)
{
    start();
    ASSERT_NE(mainWindow(), nullptr);
    fire(itunes::kOnQuittingEvent);
    HWND box = waitForWindow(kDialogClass);
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
    EXPECT_TRUE(waitForExit(10s));
}

TEST_F(TessalyExeTest, AboutIsTopmostAndOpensOnce)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, kMnuAbout, 0);
    HWND about = waitForWindow(kAboutClass);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(TextOf(about), "About Tessaly");
    EXPECT_TRUE(GetWindowLongA(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(about, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_EQ(ControlText(GetDlgItem(about, 3)), "Version 1.0.18");
    PostMessageA(window, WM_COMMAND, kMnuAbout, 0);
    test::PumpMessagesFor(500ms);
    EXPECT_EQ(WindowsOf(process_.dwProcessId, kAboutClass).size(), 1u);

    // Exit with the About box open: the main window goes, the program waits for the box.
    PostMessageA(window, WM_COMMAND, kMnuExit, 0);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(window); }, 5s));
    test::PumpMessagesFor(500ms);
    EXPECT_TRUE(running());
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitForExit(10s));
}

TEST_F(TessalyExeTest, TrayMenuExitEndsTheProgram)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    // The icon's right-button-up, as the shell reports it to the window.
    PostMessageA(window, WM_MOUSEMOVE, 1, WM_RBUTTONUP);
    HWND menu = waitForWindow(kMenuClass, 5s);
    if (!menu) {
        // Menus are not always top-level windows of the program's process under every driver.
        menu = FindWindowA(kMenuClass, nullptr);
    }
    ASSERT_NE(menu, nullptr);
    // "E&xit" by its access key.
    PostMessageA(menu, WM_KEYDOWN, 'X', 0);
    PostMessageA(menu, WM_CHAR, 'x', 0);
    EXPECT_TRUE(waitForExit(10s));
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

TEST_F(TessalyExeTest, CloseBoxEndsTheProgram)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(waitForExit(10s));
}

TEST_F(TessalyExeTest, MinimiseHidesAndTheTrayDoubleClickBringsItBack)
{
    start();
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindowVisible(window); }, 5s));
    PostMessageA(window, WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(
        test::PumpMessagesUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }, 5s));
}

// Last, with the fake iTunes unregistered for its duration.
TEST_F(TessalyExeTest, WithoutITunesOneBoxAndTheProgramEndsUntouched)
{
    const std::string fake = test::WindowsPath(FAKE_ITUNES);
    const auto runFake = [&](const char* option) {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::string command = "\"" + fake + "\" " + option;
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &info));
        WaitForSingleObject(info.hProcess, 30000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    };
    runFake("/UnregServer");
    start();
    HWND box = waitForWindow(kDialogClass, 20s);
    if (box) {
        EXPECT_EQ(TextOf(box), "Critcal Error");
        EXPECT_EQ(MessageText(box), "iTunes is not installed or improperly registered. Please "
                                    "install or repair your iTunes installation");
        EXPECT_EQ(WindowsOf(process_.dwProcessId, kDialogClass).size(), 1u);
        EXPECT_EQ(WindowsOf(process_.dwProcessId, kMainClass).size(), 0u);
        EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
        EXPECT_EQ(GetDlgItem(box, IDNO), nullptr);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        EXPECT_TRUE(waitForExit(10s));
    }
    runFake("/RegServer");
    ASSERT_NE(box, nullptr);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    if (key)
        RegCloseKey(key);
}

} // namespace
} // namespace tessaly
