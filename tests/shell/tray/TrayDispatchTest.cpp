#include "shell/TrayDispatch.h"

#include "shell/SysTray.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {

const int kAllMessages[] = {kWM_MOUSEMOVE,
                            kWM_LBUTTONDOWN,
                            kWM_LBUTTONUP,
                            kWM_LBUTTONDBLCLK,
                            kWM_RBUTTONDOWN,
                            kWM_RBUTTONUP,
                            kWM_RBUTTONDBLCLK,
                            kWM_MBUTTONDOWN,
                            kWM_MBUTTONUP,
                            kWM_MBUTTONDBLCLK,
                            0,
                            -1};

TrayAction ActiveWindowAction(int message)
{
    switch (message) {
    case kWM_RBUTTONUP:
        return TrayAction::PopupMenu;
    case kWM_LBUTTONDBLCLK:
        return TrayAction::ShowNormal;
    default:
        return TrayAction::None;
    }
}

} // namespace

TEST(TrayDispatch, NormalAndMinimisedWindowsReactToRightUpAndLeftDoubleClickOnly)
{
    const Qt::WindowStates live[] = {
        Qt::WindowNoState,
        Qt::WindowActive,
        Qt::WindowMinimized,
        Qt::WindowMinimized | Qt::WindowMaximized, // minimised from maximised
        Qt::WindowMinimized | Qt::WindowFullScreen,
    };
    for (const Qt::WindowStates state : live)
        for (const int message : kAllMessages)
            EXPECT_EQ(TrayActionFor(state, message), ActiveWindowAction(message))
                << "state " << state.toInt() << " message " << message;
}

TEST(TrayDispatch, MaximisedWindowIgnoresEveryMessage)
{
    const Qt::WindowStates inert[] = {Qt::WindowMaximized, Qt::WindowMaximized | Qt::WindowActive,
                                      Qt::WindowFullScreen};
    for (const Qt::WindowStates state : inert)
        for (const int message : kAllMessages)
            EXPECT_EQ(TrayActionFor(state, message), TrayAction::None)
                << "state " << state.toInt() << " message " << message;
}

TEST(MouseMessageFor, MapsEveryActivationReasonForBothHostKinds)
{
    struct Case {
        QSystemTrayIcon::ActivationReason reason;
        int withDoubleClick;    // XEmbed tray
        int withoutDoubleClick; // StatusNotifierItem host
    };
    const Case cases[] = {
        {QSystemTrayIcon::Context, kWM_RBUTTONUP, kWM_RBUTTONUP},
        {QSystemTrayIcon::DoubleClick, kWM_LBUTTONDBLCLK, kWM_LBUTTONDBLCLK},
        {QSystemTrayIcon::Trigger, kWM_LBUTTONUP, kWM_LBUTTONDBLCLK},
        {QSystemTrayIcon::MiddleClick, kWM_MBUTTONUP, kWM_MBUTTONUP},
        {QSystemTrayIcon::Unknown, kWM_MOUSEMOVE, kWM_MOUSEMOVE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MouseMessageFor(c.reason, true), c.withDoubleClick) << c.reason;
        EXPECT_EQ(MouseMessageFor(c.reason, false), c.withoutDoubleClick) << c.reason;
    }
    EXPECT_TRUE(TrayHostHasDoubleClick(TrayHost::XEmbed));
    EXPECT_FALSE(TrayHostHasDoubleClick(TrayHost::StatusNotifier));
}

TEST(MouseMessageFor, OnlyAHostActivationOrDoubleClickShowsTheWindow)
{
    // End to end through both tables: a single left click on an XEmbed tray must not show the
    // window, the same click on a StatusNotifierItem host must.
    EXPECT_EQ(TrayActionFor(Qt::WindowMinimized, MouseMessageFor(QSystemTrayIcon::Trigger, true)),
              TrayAction::None);
    EXPECT_EQ(TrayActionFor(Qt::WindowMinimized, MouseMessageFor(QSystemTrayIcon::Trigger, false)),
              TrayAction::ShowNormal);
    EXPECT_EQ(TrayActionFor(Qt::WindowMinimized, MouseMessageFor(QSystemTrayIcon::Context, false)),
              TrayAction::PopupMenu);
    EXPECT_EQ(
        TrayActionFor(Qt::WindowMinimized, MouseMessageFor(QSystemTrayIcon::MiddleClick, false)),
        TrayAction::None);
}
