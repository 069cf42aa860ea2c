#include "shell/TrayDispatch.h"

#include <gtest/gtest.h>
#include <utility>

using namespace tessaly;

namespace {

// Every mouse message an icon reports, and what it does to a window that is not maximised.
const std::pair<int, TrayAction> kLiveWindow[] = {{kWM_MOUSEMOVE, TrayAction::None},
                                                  {kWM_LBUTTONDOWN, TrayAction::None},
                                                  {kWM_LBUTTONUP, TrayAction::None},
                                                  {kWM_LBUTTONDBLCLK, TrayAction::ShowNormal},
                                                  {kWM_RBUTTONDOWN, TrayAction::None},
                                                  {kWM_RBUTTONUP, TrayAction::PopupMenu},
                                                  {kWM_RBUTTONDBLCLK, TrayAction::None},
                                                  {kWM_MBUTTONDOWN, TrayAction::None},
                                                  {kWM_MBUTTONUP, TrayAction::None},
                                                  {kWM_MBUTTONDBLCLK, TrayAction::None},
                                                  {0, TrayAction::None},
                                                  {-1, TrayAction::None}};

} // namespace

TEST(TrayDispatch, NormalAndMinimisedWindowsReactToRightUpAndLeftDoubleClickOnly)
{
    const WindowState live[] = {
        {false, false}, {true, false}, {true, true}, // minimised from maximised
    };
    for (const WindowState state : live)
        for (const auto& [message, action] : kLiveWindow)
            EXPECT_EQ(TrayActionFor(state, message), action)
                << "minimised " << state.minimized << " maximised " << state.maximized
                << " message " << message;
}

TEST(TrayDispatch, MaximisedWindowIgnoresEveryMessage)
{
    const WindowState maximised{false, true};
    for (const WindowState state : {maximised})
        for (const auto& [message, action] : kLiveWindow)
            EXPECT_EQ(TrayActionFor(state, message), TrayAction::None)
                << "minimised " << state.minimized << " maximised " << state.maximized
                << " message " << message;
}
