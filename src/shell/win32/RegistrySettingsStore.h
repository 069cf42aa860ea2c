#pragma once

// The settings store on Windows: REG_SZ values under
// HKCU\Software\VB and VBA Program Settings\Tessaly\Settings, where the original platform's
// settings calls keep them.

#include "common/Settings.h"

#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr wchar_t kSettingsKey[] =
    L"Software\\VB and VBA Program Settings\\Tessaly\\Settings";

class RegistrySettingsStore final : public SettingsStore {
public:
    using ErrorSink = std::function<void(std::string_view what)>;
    // key: below HKEY_CURRENT_USER; tests name a key of their own.
    explicit RegistrySettingsStore(ErrorSink errors = {}, std::wstring key = kSettingsKey);

    // A value that is missing, unreadable or not text reads as the default.
    std::u16string read(std::u16string_view key, std::u16string_view defaultValue) const override;
    // Creates the key when missing; a failure goes to the error sink.
    void write(std::u16string_view key, std::u16string_view text) override;

private:
    ErrorSink errors_;
    std::wstring key_;
};

} // namespace tessaly
