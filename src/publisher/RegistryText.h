#pragma once

// Text values in the registry, read and written the way the Messenger expects them: REG_SZ in
// the ANSI code page, no terminating NUL written, the text up to the first NUL read back.
// Standard C++ only.

#include "publisher/AnsiCodePage.h"
#include "publisher/Registry.h"

#include <string>

namespace tessaly {

class RegistryText {
public:
    RegistryText(Registry& registry, const AnsiCodePage& ansi) : registry_(registry), ansi_(ansi) {}

    // The REG_SZ value's text up to its first NUL; empty when the key or value is missing, the
    // value has another type (REG_EXPAND_SZ included) or the read fails.
    std::u16string GetRegString(RegKey rootKey, const std::u16string& subKey,
                                const std::u16string& valueName) const;
    // Creates subKey when missing and stores data as REG_SZ, its byte count being the length of
    // the converted text (no NUL). Every call is made whatever the one before answered; false when
    // any of them failed.
    bool SetRegString(RegKey rootKey, const std::u16string& subKey, const std::u16string& valueName,
                      const std::u16string& data) const;

private:
    Registry& registry_;
    const AnsiCodePage& ansi_;
};

} // namespace tessaly
