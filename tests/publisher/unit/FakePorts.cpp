#include "FakePorts.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace tessaly::test {

std::string MemoryRegistry::fold(const std::string& text)
{
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return char(c < 0x80 ? std::tolower(c) : c); });
    return folded;
}

void MemoryRegistry::put(const std::string& key, const std::string& name, std::uint32_t type,
                         const std::string& bytes)
{
    for (std::size_t pos = 0; (pos = key.find('\\', pos)) != std::string::npos; ++pos)
        keys_.insert(fold(key.substr(0, pos)));
    keys_.insert(fold(key));
    values_[{fold(key), fold(name)}] = {type, bytes};
}

const MemoryRegistry::Value* MemoryRegistry::find(const std::string& key,
                                                  const std::string& name) const
{
    const auto it = values_.find({fold(key), fold(name)});
    return it == values_.end() ? nullptr : &it->second;
}

const std::string* MemoryRegistry::pathOf(RegKey key) const
{
    static const std::string root;
    if (key == kHkeyCurrentUser)
        return &root;
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

RegStatus MemoryRegistry::RegOpenKeyA(RegKey root, const char* subKey, RegKey* result)
{
    log_.push_back(std::string("open ") + subKey);
    *result = 0;
    const std::string* base = pathOf(root);
    if (!base)
        return kErrorInvalidHandle;
    const std::string path = fold(base->empty() ? subKey : *base + "\\" + subKey);
    if (!keys_.count(path))
        return kErrorFileNotFound;
    *result = next_++;
    handles_[*result] = path;
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegQueryValueExA(RegKey key, const char* valueName,
                                           std::uint32_t* reserved, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* size)
{
    log_.push_back(std::string(data ? "read " : "probe ") + valueName);
    const std::string* path = pathOf(key);
    if (!path)
        return kErrorInvalidHandle;
    if (reserved)
        return kErrorInvalidParameter;
    const Value* value = find(*path, valueName);
    if (!value)
        return kErrorFileNotFound;
    *type = value->type;
    if (data && *size < value->bytes.size()) {
        *size = std::uint32_t(value->bytes.size());
        return kErrorMoreData;
    }
    if (data)
        std::memcpy(data, value->bytes.data(), value->bytes.size());
    *size = std::uint32_t(value->bytes.size());
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegCreateKeyA(RegKey root, const char* subKey, RegKey* result)
{
    log_.push_back(std::string("create ") + subKey);
    *result = 0;
    const std::string* base = pathOf(root);
    if (!base)
        return kErrorInvalidHandle;
    if (failWrites != kErrorSuccess)
        return failWrites;
    const std::string path = base->empty() ? subKey : *base + "\\" + subKey;
    put(path, "", 0, "");
    values_.erase({fold(path), ""});
    *result = next_++;
    handles_[*result] = fold(path);
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t,
                                         std::uint32_t type, const std::uint8_t* data,
                                         std::uint32_t size)
{
    log_.push_back(std::string("set ") + valueName + " type " + std::to_string(type) + " size " +
                   std::to_string(size));
    const std::string* path = pathOf(key);
    if (!path)
        return kErrorInvalidHandle;
    if (failWrites != kErrorSuccess)
        return failWrites;
    values_[{*path, fold(valueName)}] = {type,
                                         std::string(reinterpret_cast<const char*>(data), size)};
    return kErrorSuccess;
}

RegStatus MemoryRegistry::RegCloseKey(RegKey key)
{
    log_.push_back("close");
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

WindowHandle RecordingWindows::FindWindowA(const char* className, const char* windowName)
{
    log_.push_back(std::string("find ") + className + (windowName ? " named" : ""));
    if (throwOnFind)
        throw std::runtime_error("window lookup failed");
    return std::string(className) == "YahooBuddyMain" ? window : WindowHandle{};
}

std::intptr_t RecordingWindows::SendMessageTimeoutA(const WindowHandle& target, std::uint32_t msg,
                                                    std::uintptr_t wParam, std::intptr_t lParam,
                                                    std::chrono::milliseconds timeout)
{
    log_.push_back("send " + (target.isNull() ? std::string("null") : target.token) + " " +
                   std::to_string(msg) + " " + std::to_string(wParam) + " " +
                   std::to_string(lParam) + " " + std::to_string(timeout.count()) + "ms");
    if (throwOnSend)
        throw std::runtime_error("send failed");
    return 0;
}

} // namespace tessaly::test
