#include "Messenger.h"

#include "publisher/Yahoo.h"

namespace tessaly {

Messenger::Messenger(QObject* parent) : QObject(parent), text_(registry_, ansi_) {}

bool Messenger::signIn(const std::u16string& userId)
{
    userId_ = userId;
    std::string bytes = ansi_.FromUnicode(userId);
    bytes.push_back('\0');
    const std::string key = ansi_.FromUnicode(yahoo::kPagerKey);
    const std::string name = ansi_.FromUnicode(yahoo::kUserIdValue);
    RegKey handle = 0;
    if (registry_.RegCreateKeyA(kHkeyCurrentUser, key.c_str(), &handle) != kErrorSuccess)
        return false;
    const RegStatus status = registry_.RegSetValueExA(
        handle, name.c_str(), 0, kRegSz, reinterpret_cast<const std::uint8_t*>(bytes.data()),
        std::uint32_t(bytes.size()));
    registry_.RegCloseKey(handle);
    return status == kErrorSuccess;
}

bool Messenger::signInAsStored()
{
    userId_ = text_.GetRegString(kHkeyCurrentUser, yahoo::kPagerKey, yahoo::kUserIdValue);
    return !userId_.empty();
}

std::int64_t Messenger::handleMessage(std::uint32_t msg, std::uint64_t wParam, std::int64_t)
{
    if (msg != kWmCommand)
        return 0;
    if (wParam == yahoo::kLoadCustomMessageCommand) {
        loaded_ = text_.GetRegString(kHkeyCurrentUser, yahoo::CustomMessagesKey(userId_),
                                     yahoo::kCustomMessageValue);
    } else if (wParam == yahoo::kUseCustomMessageCommand) {
        status_ = loaded_;
        Q_EMIT statusTaken(QString::fromStdU16String(status_));
    }
    return 0;
}

} // namespace tessaly
