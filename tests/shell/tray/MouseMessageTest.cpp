// The tray's activation reasons as mouse messages, through the dispatch rule.

#include "shell/qt/SysTray.h"
#include "shell/TrayDispatch.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {
constexpr WindowState kMinimised{true, false};
} // namespace

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
    EXPECT_EQ(TrayActionFor(kMinimised, MouseMessageFor(QSystemTrayIcon::Trigger, true)),
              TrayAction::None);
    EXPECT_EQ(TrayActionFor(kMinimised, MouseMessageFor(QSystemTrayIcon::Trigger, false)),
              TrayAction::ShowNormal);
    EXPECT_EQ(TrayActionFor(kMinimised, MouseMessageFor(QSystemTrayIcon::Context, false)),
              TrayAction::PopupMenu);
    EXPECT_EQ(TrayActionFor(kMinimised, MouseMessageFor(QSystemTrayIcon::MiddleClick, false)),
              TrayAction::None);
}
