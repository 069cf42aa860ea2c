#include "publisher/Yahoo.h"

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

template <typename Step> void Yahoo::runStep(std::string_view name, Step&& step) noexcept
{
    try {
        step();
    } catch (const std::exception& e) {
        if (errors_)
            errors_(name, e.what());
    } catch (...) {
        if (errors_)
            errors_(name, "unknown exception");
    }
}

void Yahoo::SetYahooStatus(const std::u16string& statusText)
{
    std::u16string userId;
    runStep("read user id", [&] {
        userId = GetRegString(kHkeyCurrentUser, yahoo::kPagerKey, yahoo::kUserIdValue);
    });
    const std::u16string key = yahoo::CustomMessagesKey(userId);
    runStep("write custom message",
            [&] { SetRegString(kHkeyCurrentUser, key, yahoo::kCustomMessageValue, statusText); });

    WindowHandle window;
    runStep("find window",
            [&] { window = windows_.FindWindowA(yahoo::kMainWindowClass, nullptr); });
    for (const std::uintptr_t command :
         {yahoo::kLoadCustomMessageCommand, yahoo::kUseCustomMessageCommand}) {
        runStep("send command", [&] {
            windows_.SendMessageTimeoutA(window, kWmCommand, command, yahoo::kCommandLParam,
                                         yahoo::kSendTimeLimit);
        });
    }
}

} // namespace tessaly
