#pragma once

// Makes a text the Messenger's custom status: stores it as custom message "1" of the signed-in
// user's profile and tells the Messenger's main window to take it up. Standard C++ only.

#include "common/Steps.h"
#include "publisher/AnsiCodePage.h"
#include "publisher/Registry.h"
#include "publisher/RegistryText.h"
#include "publisher/StatusPublisher.h"
#include "publisher/WindowMessages.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

namespace yahoo {
inline constexpr char16_t kPagerKey[] = u"Software\\Yahoo\\Pager";
inline constexpr char16_t kUserIdValue[] = u"Yahoo! user id";
inline constexpr char16_t kProfilesPrefix[] = u"Software\\Yahoo\\Pager\\profiles\\";
inline constexpr char16_t kCustomMsgsSuffix[] = u"\\Custom Msgs";
inline constexpr char16_t kCustomMessageValue[] = u"1";
inline constexpr char kMainWindowClass[] = "YahooBuddyMain";
inline constexpr std::uintptr_t kLoadCustomMessageCommand = 376;
inline constexpr std::uintptr_t kUseCustomMessageCommand = 388;
inline constexpr std::intptr_t kCommandLParam = 1;
// A Messenger that stops answering holds up a refresh for one time limit where both commands
// are in flight together, for two at most.
inline constexpr std::chrono::milliseconds kSendTimeLimit{2000};

// "Software\Yahoo\Pager\profiles\<id>\Custom Msgs"; an empty id is kept as an empty component.
std::u16string CustomMessagesKey(const std::u16string& userId);
} // namespace yahoo

class Yahoo final : public StatusPublisher {
public:
    // Told about failures that the steps swallow, so that a backend can log them.
    using ErrorSink = FailureSink;

    Yahoo(Registry& registry, WindowMessages& windows, const AnsiCodePage& ansi,
          ErrorSink errors = {});

    // Reads the user id, writes the text, finds the Messenger and sends it both commands. Every
    // step runs whatever the earlier ones did; nothing is reported and nothing is thrown.
    void SetYahooStatus(const std::u16string& statusText) override;
    // The custom message was not written (the other steps do not count: a Messenger that is not
    // running has nothing to take up).
    bool LastStatusUnstored() const override { return unstored_; }

    std::u16string GetRegString(RegKey rootKey, const std::u16string& subKey,
                                const std::u16string& valueName) const
    {
        return text_.GetRegString(rootKey, subKey, valueName);
    }
    bool SetRegString(RegKey rootKey, const std::u16string& subKey, const std::u16string& valueName,
                      const std::u16string& data) const
    {
        return text_.SetRegString(rootKey, subKey, valueName, data);
    }

private:
    RegistryText text_;
    WindowMessages& windows_;
    ErrorSink errors_;
    bool unstored_ = false;
};

} // namespace tessaly
