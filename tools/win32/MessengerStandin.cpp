// tessaly-messenger-standin.exe: stands in for Yahoo Messenger's main window on Windows (and
// under Wine), so that the status Tessaly publishes can be checked without the Messenger.
//
// Usage: tessaly-messenger-standin [--user NAME] [--hang-on COMMAND] [--quit-after SECONDS]
//   --user NAME         signs in: stores NAME as "Yahoo! user id" (REG_SZ, with its NUL)
//   --hang-on COMMAND   stops answering (sleeps 10 s) when that command arrives
//   --quit-after S      leaves after S seconds (default 60), so that no test leaves it behind
// Lines on stdout (UTF-8, each flushed):
//   ready <hwnd>        the window of class "YahooBuddyMain" exists; its handle in decimal
//   command <id>        a WM_COMMAND arrived
//   loaded: <text>      command 376 read custom message "1" of the profile
//   status: <text>      command 388 took the loaded text as the status

#include "publisher/win32/Win32CodePage.h"
#include "publisher/win32/Win32Registry.h"
#include "publisher/Yahoo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <windows.h>

namespace {

using namespace tessaly;

constexpr UINT_PTR kQuitTimer = 1;
constexpr DWORD kHangMilliseconds = 10000;

struct Options {
    const char* user = nullptr;
    long hangOn = -1;
    long quitAfterSeconds = 60;
};

struct State {
    Options options;
    Win32Registry registry;
    Win32CodePage ansi;
    std::u16string loaded;
};

State* gState = nullptr;

void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Utf8(const std::u16string& text)
{
    if (text.empty())
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

void SignIn(const char* user)
{
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Yahoo\\Pager", &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Yahoo! user id", 0, REG_SZ, reinterpret_cast<const BYTE*>(user),
                   static_cast<DWORD>(std::strlen(user) + 1));
    RegCloseKey(key);
}

// Reads the profile the way the Messenger does: the user id now stored, then its message "1".
std::u16string LoadCustomMessage(State& state)
{
    const RegistryText text(state.registry, state.ansi);
    const std::u16string id =
        text.GetRegString(kHkeyCurrentUser, yahoo::kPagerKey, yahoo::kUserIdValue);
    return text.GetRegString(kHkeyCurrentUser, yahoo::CustomMessagesKey(id),
                             yahoo::kCustomMessageValue);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND: {
        const auto command = static_cast<long>(LOWORD(wParam));
        PrintLine("command " + std::to_string(command));
        if (command == gState->options.hangOn)
            Sleep(kHangMilliseconds);
        if (command == yahoo::kLoadCustomMessageCommand) {
            gState->loaded = LoadCustomMessage(*gState);
            PrintLine("loaded: " + Utf8(gState->loaded));
        } else if (command == yahoo::kUseCustomMessageCommand) {
            PrintLine("status: " + Utf8(gState->loaded));
        }
        return 1;
    }
    case WM_TIMER:
        if (wParam == kQuitTimer)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--user") == 0 && hasValue)
            options.user = argv[++i];
        else if (std::strcmp(argv[i], "--hang-on") == 0 && hasValue)
            options.hangOn = std::strtol(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--quit-after") == 0 && hasValue)
            options.quitAfterSeconds = std::strtol(argv[++i], nullptr, 10);
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    State state;
    if (!ParseOptions(argc, argv, state.options)) {
        std::fputs("usage: tessaly-messenger-standin [--user NAME] [--hang-on COMMAND] "
                   "[--quit-after SECONDS]\n",
                   stderr);
        return 2;
    }
    gState = &state;
    if (state.options.user != nullptr)
        SignIn(state.options.user);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = yahoo::kMainWindowClass;
    if (RegisterClassA(&windowClass) == 0) {
        std::fprintf(stderr, "cannot register the window class (error %lu)\n", GetLastError());
        return 1;
    }
    HWND window = CreateWindowExA(0, yahoo::kMainWindowClass, "Yahoo! Messenger",
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "cannot create the window (error %lu)\n", GetLastError());
        return 1;
    }
    SetTimer(window, kQuitTimer, static_cast<UINT>(state.options.quitAfterSeconds * 1000), nullptr);
    PrintLine("ready " + std::to_string(reinterpret_cast<std::uintptr_t>(window)));

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
