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
    bool stored = false;
    RunStep(errors_, "write custom message", [&] {
        stored = SetRegString(kHkeyCurrentUser, key, yahoo::kCustomMessageValue, statusText);
    });
    unstored_ = !stored;

    WindowHandle window;
    RunStep(errors_, "find window",
            [&] { window = windows_.FindWindowA(yahoo::kMainWindowClass, nullptr); });
    static constexpr WindowMessage kCommands[] = {
        {kWmCommand, yahoo::kLoadCustomMessageCommand, yahoo::kCommandLParam},
        {kWmCommand, yahoo::kUseCustomMessageCommand, yahoo::kCommandLParam}};
    RunStep(errors_, "send commands",
            [&] { windows_.SendMessagesTimeoutA(window, kCommands, yahoo::kSendTimeLimit); });
}

} // namespace tessaly
