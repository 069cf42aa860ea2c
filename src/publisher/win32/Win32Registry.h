#pragma once

// The registry of the running Windows session through its ANSI calls, passed straight through:
// the status writer's interface already has their shape.

#include "publisher/Registry.h"

namespace tessaly {

class Win32Registry final : public Registry {
public:
    RegStatus RegOpenKeyA(RegKey root, const char* subKey, RegKey* result) override;
    RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) override;
    RegStatus RegCreateKeyA(RegKey root, const char* subKey, RegKey* result) override;
    RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) override;
    RegStatus RegCloseKey(RegKey key) override;
};

} // namespace tessaly
