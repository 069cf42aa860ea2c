#include "shell/TrayDispatch.h"

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
    const WindowState live[] = {
        {false, false}, {true, false}, {true, true}, // minimised from maximised
    };
    for (const WindowState state : live)
        for (const int message : kAllMessages)
            EXPECT_EQ(TrayActionFor(state, message), ActiveWindowAction(message))
                << "minimised " << state.minimized << " maximised " << state.maximized
                << " message " << message;
}

TEST(TrayDispatch, MaximisedWindowIgnoresEveryMessage)
{
    const WindowState maximised{false, true};
    for (const WindowState state : {maximised})
        for (const int message : kAllMessages)
            EXPECT_EQ(TrayActionFor(state, message), TrayAction::None)
                << "minimised " << state.minimized << " maximised " << state.maximized
                << " message " << message;
}
