#include "shell/win32/RegistrySettingsStore.h"

#include "common/Text.h"
#include "common/win32/WinText.h"

#include <string>
#include <windows.h>

namespace tessaly {

namespace {

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

} // namespace

RegistrySettingsStore::RegistrySettingsStore(ErrorSink errors, std::wstring key)
    : errors_(std::move(errors)), key_(std::move(key))
{}

std::u16string RegistrySettingsStore::read(std::u16string_view key,
                                           std::u16string_view defaultValue) const
{
    Key settings;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_QUERY_VALUE, settings.put()) !=
        ERROR_SUCCESS)
        return std::u16string(defaultValue);
    const std::wstring name = ToWide(key);
    // The value may grow between the size query and the read: ask again until it fits.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(settings.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::u16string(defaultValue);
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LONG status = RegQueryValueExW(settings.get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(text.data()), &got);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::u16string(defaultValue);
        text.resize(got / sizeof(wchar_t));
        // The stored text ends at its first NUL, as the settings calls read it.
        const std::size_t end = text.find(L'\0');
        if (end != std::wstring::npos)
            text.resize(end);
        return FromWide(text);
    }
    return std::u16string(defaultValue);
}

void RegistrySettingsStore::write(std::u16string_view key, std::u16string_view text)
{
    Key settings;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, settings.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        const std::wstring name = ToWide(key);
        const std::wstring value = ToWide(text);
        status = RegSetValueExW(settings.get(), name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    if (status != ERROR_SUCCESS && errors_)
        errors_("settings write of " + Utf16ToUtf8(key) + " failed (error " +
                std::to_string(status) + ")");
}

} // namespace tessaly
