#include "publisher/Yahoo.h"

#include "common/Steps.h"

#include <exception>

namespace tessaly {

std::u16string yahoo::CustomMessagesKey(const std::u16string& userId)
{
    return std::u16string(kProfilesPrefix) + userId + kCustomMsgsSuffix;
}

Yahoo::Yahoo(Registry& registry, WindowMessages& windows, const AnsiCodePage& ansi,
             ErrorSink errors)
    : text_(registry, ansi), windows_(windows), errors_(std::move(errors))
{}

void Yahoo::SetYahooStatus(const std::u16string& statusText)
{
    std::u16string userId;
    RunStep(errors_, "read user id", [&] {
        userId = GetRegString(kHkeyCurrentUser, yahoo::kPagerKey, yahoo::kUserIdValue);
    });
    const std::u16string key = yahoo::CustomMessagesKey(userId);
    RunStep(errors_, "write custom message",
            [&] { SetRegString(kHkeyCurrentUser, key, yahoo::kCustomMessageValue, statusText); });

    WindowHandle window;
    RunStep(errors_, "find window",
            [&] { window = windows_.FindWindowA(yahoo::kMainWindowClass, nullptr); });
    for (const std::uintptr_t command :
         {yahoo::kLoadCustomMessageCommand, yahoo::kUseCustomMessageCommand}) {
        RunStep(errors_, "send command", [&] {
            windows_.SendMessageTimeoutA(window, kWmCommand, command, yahoo::kCommandLParam,
                                         yahoo::kSendTimeLimit);
        });
    }
}

} // namespace tessaly
