// Tessaly on Linux: the composition root, the one place that knows every piece.

#include "common/linux/XdgPaths.h"
#include "common/qt/Guard.h"
#include "common/qt/Logging.h"
#include "common/qt/QtText.h"
#include "common/Text.h"
#include "popup/qt/PopupAlerts.h"
#include "publisher/linux/LinuxMessengers.h"
#include "publisher/linux/LocaleCodePage.h"
#include "shell/qt/AppIcon.h"
#include "shell/qt/frmMain.h"
#include "shell/qt/MessageBoxes.h"
#include "shell/qt/QSettingsStore.h"
#include "watcher/linux/PosixFileAppend.h"
#include "watcher/mpris/MprisPlayer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <QApplication>
#include <QDBusConnection>

namespace {

using namespace tessaly;

int Run(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    // The window may live hidden in the tray; the program ends when its last window goes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon());

    const std::unique_ptr<SettingsStore> store = OpenSettingsStore();
    // The Messenger stand-in and Pidgin, on the status writer's own thread: a refresh never
    // waits for them. Declared before the window, so it ends after the last refresh.
    const std::unique_ptr<StatusPublisher> publisher = CreateLinuxStatusWriter();
    const LocaleCodePage ansi;
    PosixFileAppend files(
        [](std::u16string_view message) { qCWarning(lcWatcher).noquote() << ToQString(message); });
    QtQuitQuestion quitQuestion;

    frmMainServices services;
    services.core.store = store.get();
    services.core.publisher = publisher.get();
    services.core.createPlayer = [] {
        return CreateMprisPlayer(QDBusConnection::sessionBus());
    };
    services.core.createAlerts = [&store](AlertOwner& owner) -> std::unique_ptr<AlertPort> {
        return std::make_unique<PopupAlerts>(*store, owner);
    };
    services.core.quitQuestion = &quitQuestion;
    services.core.files = &files;
    services.core.ansi = &ansi;
    services.core.programFolder = Utf8ToUtf16(ProgramFolder());
    services.core.reportFailure = LogFailures(lcShell);

    frmMain window(std::move(services));
    if (!window.Form_Load())
        return 1;
    return QApplication::exec();
}

bool IsSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// The few things the command line answers; the settings store stays the only configuration.
// Nothing: run the program.
std::optional<int> AnswerCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Tessaly %d.%d.%d\n", TESSALY_VERSION_MAJOR, TESSALY_VERSION_MINOR,
                        TESSALY_VERSION_REVISION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: tessaly\n"
                        "Shows the song your music player plays as your messenger status, in a "
                        "popup and in a radio playlist.\n"
                        "Lives in the system tray; every setting is made in its window.\n\n"
                        "  --help     this text\n"
                        "  --version  the version\n");
            return 0;
        }
    }
    return std::nullopt;
}

// A popup can place itself only on X11, so X11 (XWayland on a Wayland desktop) is preferred
// whenever there is one; a platform the user chose wins.
bool ChooseDisplay()
{
    if (IsSet("QT_QPA_PLATFORM"))
        return true;
    if (IsSet("DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        return true;
    }
    return IsSet("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = AnswerCommandLine(argc, argv))
        return *answered;
    if (!ChooseDisplay()) {
        std::fprintf(stderr, "tessaly: no display to show a window on (neither DISPLAY nor "
                             "WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaly: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "tessaly: unexpected failure\n");
    }
    return 1;
}
