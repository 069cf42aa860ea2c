#pragma once

// An in-memory registry and a window that records what it is sent, both writing into one log
// so that tests see the order of every call. The code pages are in support/core/FakeCodePages.h.

#include "publisher/Registry.h"
#include "publisher/WindowMessages.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessaly::test {

using CallLog = std::vector<std::string>;

class MemoryRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type;
        std::string bytes;
    };

    explicit MemoryRegistry(CallLog& log) : log_(log) {}

    // Test set-up, not logged.
    void put(const std::string& key, const std::string& name, std::uint32_t type,
             const std::string& bytes);
    const Value* find(const std::string& key, const std::string& name) const;
    std::size_t openHandles() const { return handles_.size(); }
    // The next create or set answers this code and does nothing.
    RegStatus failWrites = kErrorSuccess;

    RegStatus RegOpenKeyA(RegKey root, const char* subKey, RegKey* result) override;
    RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) override;
    RegStatus RegCreateKeyA(RegKey root, const char* subKey, RegKey* result) override;
    RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) override;
    RegStatus RegCloseKey(RegKey key) override;

private:
    static std::string fold(const std::string& text);
    const std::string* pathOf(RegKey key) const;

    CallLog& log_;
    std::set<std::string> keys_{""};
    std::map<std::pair<std::string, std::string>, Value> values_;
    std::map<RegKey, std::string> handles_;
    RegKey next_ = 100;
};

class RecordingWindows final : public WindowMessages {
public:
    explicit RecordingWindows(CallLog& log) : log_(log) {}

    // The window FindWindowA answers for "YahooBuddyMain"; null when empty.
    WindowHandle window{"messenger"};
    bool throwOnFind = false;
    bool throwOnSend = false;

    WindowHandle FindWindowA(const char* className, const char* windowName) override;
    std::intptr_t SendMessageTimeoutA(const WindowHandle& window, std::uint32_t msg,
                                      std::uintptr_t wParam, std::intptr_t lParam,
                                      std::chrono::milliseconds timeout) override;

private:
    CallLog& log_;
};

} // namespace tessaly::test
