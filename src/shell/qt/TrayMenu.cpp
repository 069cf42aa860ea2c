#include "shell/qt/TrayMenu.h"

#include "common/qt/Guard.h"
#include "common/qt/Logging.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace tessaly {
namespace {

struct ItemSpec {
    const char* name;
    const char* caption; // nullptr for a separator
    Qt::Key key;
    std::function<void()> TrayMenuCommands::*command;
};

void RunCommand(const char* name, const std::function<void()>& command)
{
    if (command)
        Guarded(lcShell, name, command);
}

} // namespace

QMenu* BuildTrayMenu(QWidget* owner, const TrayMenuCommands& commands)
{
    static const ItemSpec kItems[] = {
        {"mnuShow", "&Configure", Qt::Key_C, &TrayMenuCommands::show},
        {"mnuSep1", nullptr, Qt::Key_unknown, nullptr},
        {"mnuAbout", "&About", Qt::Key_A, &TrayMenuCommands::about},
        {"mnuHelp", "&Help", Qt::Key_H, &TrayMenuCommands::help},
        {"mnuSep2", nullptr, Qt::Key_unknown, nullptr},
        {"mnuDonate", "&Donate", Qt::Key_D, &TrayMenuCommands::donate},
        {"mnuSite", "Tessaly &Online", Qt::Key_O, &TrayMenuCommands::site},
        {"mnuSep3", nullptr, Qt::Key_unknown, nullptr},
        {"mnuExit", "E&xit", Qt::Key_X, &TrayMenuCommands::exit},
    };

    auto* menu = new QMenu(QStringLiteral("&Main"), owner);
    menu->setObjectName(QStringLiteral("mnuPopup"));
    for (const ItemSpec& item : kItems) {
        if (!item.caption) {
            QAction* separator = menu->addSeparator();
            separator->setObjectName(QLatin1String(item.name));
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QLatin1String(item.name));
        action->setShortcut(QKeySequence(Qt::CTRL | item.key));
        // The keys act only while the menu is open: in the main window the standard editing
        // keys (copy, select all, cut) must keep their meaning.
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(
            action, &QAction::triggered, action,
            [name = item.name, command = commands.*item.command] { RunCommand(name, command); });
    }
    return menu;
}

} // namespace tessaly
