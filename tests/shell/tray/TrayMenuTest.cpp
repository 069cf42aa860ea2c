#include "shell/qt/TrayMenu.h"

#include "shell/WebPages.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <QAction>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <stdexcept>

using namespace tessaly;

namespace {

struct Recorder {
    std::map<std::string, int> calls;
    TrayMenuCommands Commands()
    {
        auto count = [this](std::string name) {
            return [this, name] {
                ++calls[name];
            };
        };
        return {count("show"),   count("about"), count("help"),
                count("donate"), count("site"),  count("exit")};
    }
};

struct Item {
    const char* name;
    const char* caption; // nullptr: separator
    const char* shortcut;
    const char* command;
};

const Item kItems[] = {
    {"mnuShow", "&Configure", "Ctrl+C", "show"},
    {"mnuSep1", nullptr, "", nullptr},
    {"mnuAbout", "&About", "Ctrl+A", "about"},
    {"mnuHelp", "&Help", "Ctrl+H", "help"},
    {"mnuSep2", nullptr, "", nullptr},
    {"mnuDonate", "&Donate", "Ctrl+D", "donate"},
    {"mnuSite", "Tessaly &Online", "Ctrl+O", "site"},
    {"mnuSep3", nullptr, "", nullptr},
    {"mnuExit", "E&xit", "Ctrl+X", "exit"},
};

} // namespace

TEST(TrayMenu, HasTheNineItemsInOrderWithCaptionsAndShortcuts)
{
    QWidget owner;
    Recorder recorder;
    QMenu* menu = BuildTrayMenu(&owner, recorder.Commands());
    EXPECT_EQ(menu->objectName(), QStringLiteral("mnuPopup"));
    EXPECT_EQ(menu->title(), QStringLiteral("&Main"));
    EXPECT_EQ(menu->parent(), &owner);

    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 9);
    for (int i = 0; i < actions.size(); ++i) {
        const Item& item = kItems[i];
        QAction* action = actions[i];
        SCOPED_TRACE(item.name);
        EXPECT_EQ(action->objectName(), QLatin1String(item.name));
        EXPECT_EQ(action->isSeparator(), item.caption == nullptr);
        if (!item.caption)
            continue;
        EXPECT_EQ(action->text(), QLatin1String(item.caption));
        EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText),
                  QLatin1String(item.shortcut));
        EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut);
        // The keys belong to the menu; the window keeps its editing keys.
        EXPECT_FALSE(owner.actions().contains(action));
    }
}

TEST(TrayMenu, EachItemRunsItsOwnCommandOnce)
{
    QWidget owner;
    Recorder recorder;
    QMenu* menu = BuildTrayMenu(&owner, recorder.Commands());
    for (const Item& item : kItems) {
        if (!item.command)
            continue;
        auto* action = menu->findChild<QAction*>(QLatin1String(item.name));
        ASSERT_NE(action, nullptr) << item.name;
        action->trigger();
        EXPECT_EQ(recorder.calls[item.command], 1) << item.name;
    }
    EXPECT_EQ(recorder.calls.size(), 6u);
}

TEST(TrayMenu, MissingOrFailingCommandsLeaveTheProgramRunning)
{
    QWidget owner;
    TrayMenuCommands commands;
    commands.exit = [] {
        throw std::runtime_error("boom");
    };
    QMenu* menu = BuildTrayMenu(&owner, commands);
    for (QAction* action : menu->actions())
        EXPECT_NO_THROW(action->trigger());
}

TEST(TrayMenu, CtrlKeysInTheOwnerWindowRunNoCommand)
{
    QWidget owner;
    auto* box = new QLineEdit(QStringLiteral("Artist - Title"), &owner);
    auto* layout = new QVBoxLayout(&owner);
    layout->addWidget(box);
    Recorder recorder;
    BuildTrayMenu(&owner, recorder.Commands());
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner, 10000));

    owner.setFocus();
    box->clearFocus();
    for (const Qt::Key key : {Qt::Key_C, Qt::Key_A, Qt::Key_H, Qt::Key_D, Qt::Key_O, Qt::Key_X})
        QTest::keyClick(&owner, key, Qt::ControlModifier);
    EXPECT_TRUE(recorder.calls.empty());

    // Ctrl+X in a text box cuts; it must not end the program.
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(recorder.calls["exit"], 0);
    EXPECT_TRUE(box->text().isEmpty());
}
