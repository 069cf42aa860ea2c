#pragma once

// The registry calls the status writer makes, shaped like their Win32 ANSI forms so that the
// Win32 backend passes them straight through. Standard C++ only.
//
// Names avoid the Win32 macros (HKEY_CURRENT_USER, REG_SZ, ERROR_SUCCESS, ...) so that this
// header and <windows.h> can be included together.

#include <cstdint>

namespace tessaly {

// A registry key handle. The predefined roots have their Win32 values; 0 is "no key".
using RegKey = std::uintptr_t;
// A Win32 error code (LONG).
using RegStatus = std::int32_t;

inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr RegStatus kErrorSuccess = 0;
inline constexpr RegStatus kErrorFileNotFound = 2;
inline constexpr RegStatus kErrorInvalidHandle = 6;
inline constexpr RegStatus kErrorLockViolation = 33;
inline constexpr RegStatus kErrorInvalidParameter = 87;
inline constexpr RegStatus kErrorMoreData = 234;
inline constexpr RegStatus kErrorBadDb = 1009;
inline constexpr RegStatus kErrorRegistryIoFailed = 1016;

class Registry {
public:
    virtual ~Registry() = default;

    // Opens subKey (a "\"-separated path; null or empty opens root itself). On failure *result
    // is set to 0.
    virtual RegStatus RegOpenKeyA(RegKey root, const char* subKey, RegKey* result) = 0;
    // With data null: reports the value's type and byte size. With data: copies the value when
    // *size is large enough, else answers kErrorMoreData with the size needed. A null
    // valueName is the default value; reserved must be null.
    virtual RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                                       std::uint32_t* type, std::uint8_t* data,
                                       std::uint32_t* size) = 0;
    // Opens subKey, creating it and any missing key on its path.
    virtual RegStatus RegCreateKeyA(RegKey root, const char* subKey, RegKey* result) = 0;
    // Stores exactly size bytes of data as given, with the type given.
    virtual RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                     std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t size) = 0;
    virtual RegStatus RegCloseKey(RegKey key) = 0;
};

} // namespace tessaly
