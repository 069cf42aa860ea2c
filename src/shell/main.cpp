// Tessaly: the main window is the start-up object; everything else hangs off it.

#include "popup/PopupAlerts.h"
#include "publisher/linux/LinuxStatusPublisher.h"
#include "shell/AppIcon.h"
#include "shell/frmMain.h"
#include "shell/Logging.h"
#include "shell/SettingsStore.h"
#include "watcher/mpris/MprisPlayer.h"
#include "watcher/ProgramFolder.h"

#include <cstdio>
#include <exception>
#include <QApplication>
#include <QDBusConnection>

namespace {

int Run(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    // The window may live hidden in the tray; the program ends when its last window goes.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(tessaly::AppIcon());

    const std::unique_ptr<tessaly::SettingsStore> store = tessaly::OpenSettingsStore();
    const std::unique_ptr<tessaly::StatusPublisher> publisher =
        CreateLinuxStatusPublisher(QDBusConnection::sessionBus());

    tessaly::frmMainServices services;
    services.store = store.get();
    services.publisher = publisher.get();
    services.createPlayer = [] {
        return tessaly::CreateMprisPlayer(QDBusConnection::sessionBus());
    };
    services.createAlerts =
        [&store](tessaly::AlertOwner& owner) -> std::unique_ptr<tessaly::AlertPort> {
        return std::make_unique<tessaly::PopupAlerts>(*store, owner);
    };
    services.programFolder = tessaly::ProgramFolder();

    frmMain window(std::move(services));
    if (!window.Form_Load())
        return 1;
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaly: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "tessaly: unexpected failure\n");
    }
    return 1;
}
