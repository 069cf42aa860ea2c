#include "publisher/win32/Win32Registry.h"

#include <windows.h>

namespace tessaly {

namespace {

HKEY ToHkey(RegKey key)
{
    return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key)
{
    return reinterpret_cast<RegKey>(key);
}

// RegOpenKeyA or RegCreateKeyA: the key's handle in result on success, 0 otherwise.
RegStatus OpenWith(LONG(WINAPI* call)(HKEY, LPCSTR, PHKEY), RegKey root, const char* subKey,
                   RegKey* result)
{
    if (result == nullptr)
        return kErrorInvalidParameter;
    HKEY key = nullptr;
    const LONG status = call(ToHkey(root), subKey, &key);
    *result = status == ERROR_SUCCESS ? FromHkey(key) : 0;
    return status;
}

static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(sizeof(LONG) == sizeof(RegStatus));

} // namespace

RegStatus Win32Registry::RegOpenKeyA(RegKey root, const char* subKey, RegKey* result)
{
    return OpenWith(&::RegOpenKeyA, root, subKey, result);
}

RegStatus Win32Registry::RegQueryValueExA(RegKey key, const char* valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* size)
{
    if (reserved != nullptr)
        return kErrorInvalidParameter;
    // Copies in DWORDs: the caller's integers are not DWORDs to the compiler.
    DWORD typeOut = type != nullptr ? *type : 0;
    DWORD sizeInOut = size != nullptr ? *size : 0;
    const LONG status =
        ::RegQueryValueExA(ToHkey(key), valueName, nullptr, type != nullptr ? &typeOut : nullptr,
                           data, size != nullptr ? &sizeInOut : nullptr);
    // Only a call that looked at the value reports its type and size; a failed one leaves the
    // caller's starting values alone, as the interface promises.
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != nullptr)
            *type = typeOut;
        if (size != nullptr)
            *size = sizeInOut;
    }
    return status;
}

RegStatus Win32Registry::RegCreateKeyA(RegKey root, const char* subKey, RegKey* result)
{
    return OpenWith(&::RegCreateKeyA, root, subKey, result);
}

RegStatus Win32Registry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                        std::uint32_t type, const std::uint8_t* data,
                                        std::uint32_t size)
{
    return ::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, size);
}

RegStatus Win32Registry::RegCloseKey(RegKey key)
{
    return ::RegCloseKey(ToHkey(key));
}

} // namespace tessaly
