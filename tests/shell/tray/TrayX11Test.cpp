// The tray icon on a real X11 tray (trayer, an XEmbed host) under openbox.

#include "shell/qt/AppIcon.h"
#include "shell/qt/SysTray.h"
#include "shell/qt/TrayMenu.h"
#include "shell/tray/X11Helpers.h"
#include "shell/TrayDispatch.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QWidget>
#include <vector>

using namespace tessaly;
namespace x11 = tessaly::test::x11;

namespace {

WId TrayIconWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QSystemTrayIconSys"))
            return widget->winId();
    return 0;
}

// A stand-in for the main window's notification handler, wired the way the program wires it.
class TrayX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!x11::OnX11())
            GTEST_SKIP() << "needs an X display";
        ASSERT_TRUE(x11::WaitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }))
            << "no system tray on the display";
        window.setWindowTitle(QStringLiteral("Tessaly tray test"));
        window.resize(320, 200);
        TrayMenuCommands commands;
        commands.show = [this] {
            ++shows;
        };
        menu = BuildTrayMenu(&window, commands);
        AddTrayIcon(&window, AppIcon(), QStringLiteral("Tessaly"), kWM_MOUSEMOVE,
                    [this](int message) { Notify(message); });
        ASSERT_TRUE(x11::WaitUntil([] {
            return TrayIcon() && TrayIcon()->geometry().isValid() &&
                   !TrayIcon()->geometry().isEmpty();
        })) << "the icon was not embedded";
        // Qt knows the geometry before the tray has mapped the icon; clicks before that are lost.
        ASSERT_TRUE(x11::WaitUntil([] { return x11::IsViewable(TrayIconWindow()); }))
            << "the tray did not map the icon";
    }

    void TearDown() override
    {
        if (menu)
            menu->hide();
        RemoveTrayIcon();
    }

    void Notify(int message)
    {
        messages.push_back(message);
        const Qt::WindowStates state = window.windowState();
        const WindowState read{state.testFlag(Qt::WindowMinimized),
                               (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0};
        switch (TrayActionFor(read, message)) {
        case TrayAction::PopupMenu:
            menu->popup(QCursor::pos());
            break;
        case TrayAction::ShowNormal:
            window.setWindowState(window.windowState() &
                                  ~(Qt::WindowMinimized | Qt::WindowMaximized));
            window.show();
            break;
        case TrayAction::None:
            break;
        }
    }

    QPoint IconCentre() const { return TrayIcon()->geometry().center(); }

    QWidget window;
    QMenu* menu = nullptr;
    std::vector<int> messages;
    int shows = 0;
};

} // namespace

TEST_F(TrayX11Test, IconIsEmbeddedInTheXEmbedTray)
{
    EXPECT_EQ(CurrentTrayHost(), TrayHost::XEmbed);
    EXPECT_TRUE(IsTrayIconPresent());
    const QRect geometry = TrayIcon()->geometry();
    EXPECT_GE(geometry.width(), 16);
    EXPECT_LE(geometry.width(), 64);
    x11::SaveScreenshot(QStringLiteral("tray-icon"), geometry.adjusted(-40, -8, 40, 8));
}

TEST_F(TrayX11Test, RightClickPopsUpTheMenuAtThePointer)
{
    ASSERT_TRUE(x11::ClickAt(IconCentre(), 3));
    ASSERT_TRUE(x11::WaitUntil([this] { return menu->isVisible(); })) << "the menu did not open";
    EXPECT_NE(std::find(messages.begin(), messages.end(), kWM_RBUTTONUP), messages.end());
    EXPECT_TRUE(menu->geometry().adjusted(-4, -4, 4, 4).contains(QCursor::pos()) ||
                menu->geometry().contains(IconCentre()) ||
                (menu->geometry().center() - IconCentre()).manhattanLength() < 400);
    x11::WaitUntil([] { return false; }, 300); // let the menu paint
    const QRect area = menu->geometry().united(TrayIcon()->geometry()).adjusted(-20, -20, 20, 20);
    EXPECT_FALSE(x11::SaveScreenshot(QStringLiteral("tray-menu"), area).isEmpty());

    // The command runs once the menu has closed on a click of its item.
    QAction* configure = menu->findChild<QAction*>(QStringLiteral("mnuShow"));
    const QRect item = menu->actionGeometry(configure);
    ASSERT_TRUE(x11::ClickAt(menu->mapToGlobal(item.center()), 1));
    EXPECT_TRUE(x11::WaitUntil([this] { return shows == 1 && !menu->isVisible(); }));
}

TEST_F(TrayX11Test, DoubleClickIsInertWhileMaximisedAndShowsTheWindowOtherwise)
{
    window.showMaximized();
    ASSERT_TRUE(x11::WaitUntil([this] { return window.isMaximized() && window.isVisible(); }));
    ASSERT_TRUE(x11::ClickAt(IconCentre(), 1, 2));
    ASSERT_TRUE(x11::WaitUntil([this] {
        return std::find(messages.begin(), messages.end(), kWM_LBUTTONDBLCLK) != messages.end();
    })) << "no double-click arrived";
    EXPECT_TRUE(window.isMaximized());

    window.showNormal();
    window.hide();
    messages.clear();
    ASSERT_TRUE(x11::WaitUntil([this] { return !window.isVisible(); }));
    ASSERT_TRUE(x11::ClickAt(IconCentre(), 1, 2));
    ASSERT_TRUE(x11::WaitUntil([this] { return window.isVisible(); }))
        << "the window stayed hidden";
    EXPECT_EQ(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
              Qt::WindowNoState);
    // The single clicks before the double-click did nothing of their own.
    EXPECT_NE(std::find(messages.begin(), messages.end(), kWM_LBUTTONUP), messages.end());
}

TEST_F(TrayX11Test, RemovedIconLeavesTheTrayAtOnce)
{
    const QPoint centre = IconCentre();
    RemoveTrayIcon();
    EXPECT_FALSE(IsTrayIconPresent());
    // A click where the icon was reaches nobody.
    x11::WaitUntil([] { return false; }, 300);
    ASSERT_TRUE(x11::ClickAt(centre, 3));
    x11::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(menu->isVisible());
}
