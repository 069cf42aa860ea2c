// Tessaly on Windows: the composition root, the one place that knows every piece.

#include "about/win32/frmAbout.h"
#include "common/Text.h"
#include "common/win32/Guard.h"
#include "common/win32/MessageLoop.h"
#include "common/win32/WinText.h"
#include "popup/win32/Win32Alerts.h"
#include "publisher/StatusWriter.h"
#include "publisher/win32/Win32CodePage.h"
#include "publisher/win32/Win32StatusPublisher.h"
#include "shell/win32/frmMain.h"
#include "shell/win32/MessageBoxes.h"
#include "shell/win32/RegistrySettingsStore.h"
#include "watcher/AlertPort.h"
#include "watcher/win32/ITunesIds.h"
#include "watcher/win32/ITunesPlayer.h"
#include "watcher/win32/Win32FileAppend.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <windows.h>

namespace {

using namespace tessaly;

int Run(HINSTANCE instance)
{
    RegistrySettingsStore store([](std::string_view what) { LogWarning("shell", what); });
    // The Messenger on the status writer's own thread: a refresh never waits for it. Declared
    // before the window, so it ends after the last refresh.
    const std::unique_ptr<StatusPublisher> publisher = std::make_unique<StatusWriter>(
        [] { return CreateWin32StatusPublisher(LogFailures("publisher")); },
        LogFailures("publisher"));
    const Win32CodePage ansi;
    Win32FileAppend files(
        [](std::u16string_view message) { LogWarning("watcher", Utf16ToUtf8(message)); });
    Win32QuitQuestion quitQuestion;

    frmMainServices services;
    services.instance = instance;
    services.showAbout = [instance] {
        ShowAboutBox(instance);
    };
    services.core.store = &store;
    services.core.publisher = publisher.get();
    services.core.createPlayer = []() -> std::unique_ptr<Player> {
        ComPlayerCreation creation = CreateComPlayer(
            itunes::kProgId, [](std::string_view what) { LogWarning("watcher", what); });
        if (!creation.player && !creation.cannotCreate)
            // Created but not usable: told like any failed step, and the box follows.
            throw std::runtime_error("iTunes.Application failed (HRESULT " +
                                     std::to_string(creation.hresult) + ")");
        return std::move(creation.player);
    };
    services.core.createAlerts = [&store, instance](AlertOwner& owner) {
        return CreateWin32Alerts(store, owner, instance);
    };
    services.core.quitQuestion = &quitQuestion;
    services.core.files = &files;
    services.core.ansi = &ansi;
    services.core.programFolder = ProgramFolder();
    services.core.reportFailure = LogFailures("shell");

    frmMain window(std::move(services));
    if (!window.Form_Load())
        return 1;
    return RunMessageLoop(window.hWnd(), 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    try {
        return Run(instance);
    } catch (const std::exception& e) {
        LogWarning("app", std::string("unexpected failure: ") + e.what());
    } catch (...) {
        LogWarning("app", "unexpected failure");
    }
    return 1;
}
