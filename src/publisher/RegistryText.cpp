#include "publisher/RegistryText.h"

#include <vector>

namespace tessaly {

std::u16string RegistryText::GetRegString(RegKey rootKey, const std::u16string& subKey,
                                          const std::u16string& valueName) const
{
    const std::string ansiKey = ansi_.FromUnicode(subKey);
    const std::string ansiName = ansi_.FromUnicode(valueName);

    RegKey key = 0;
    registry_.RegOpenKeyA(rootKey, ansiKey.c_str(), &key);
    // Close on every path; a failed open leaves the handle at 0 and the probe then fails too.
    struct Closer {
        Registry& registry;
        RegKey& key;
        ~Closer()
        {
            if (key != 0)
                registry.RegCloseKey(key);
        }
    } closer{registry_, key};

    std::uint32_t type = kRegNone;
    std::uint32_t size = 0;
    registry_.RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, nullptr, &size);
    if (type != kRegSz)
        return {};

    std::vector<std::uint8_t> buffer(size, std::uint8_t(' '));
    std::uint32_t readType = kRegNone;
    std::uint32_t readSize = size;
    if (registry_.RegQueryValueExA(key, ansiName.c_str(), nullptr, &readType, buffer.data(),
                                   &readSize) != kErrorSuccess)
        return {};
    // The value may have shrunk since the probe; the blanks past its end are not its text.
    if (readSize < buffer.size())
        buffer.resize(readSize);

    std::u16string text = ansi_.ToUnicode(
        std::string_view(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
    if (const auto nul = text.find(u'\0'); nul != std::u16string::npos)
        text.resize(nul);
    return text;
}

bool RegistryText::SetRegString(RegKey rootKey, const std::u16string& subKey,
                                const std::u16string& valueName, const std::u16string& data) const
{
    const std::string ansiKey = ansi_.FromUnicode(subKey);
    const std::string ansiName = ansi_.FromUnicode(valueName);
    const std::string bytes = ansi_.FromUnicode(data);

    RegKey key = 0;
    const RegStatus created = registry_.RegCreateKeyA(rootKey, ansiKey.c_str(), &key);
    // The byte count is the converted text's length: a character count would cut multi-byte
    // text short.
    const RegStatus set = registry_.RegSetValueExA(
        key, ansiName.c_str(), 0, kRegSz, reinterpret_cast<const std::uint8_t*>(bytes.data()),
        static_cast<std::uint32_t>(bytes.size()));
    registry_.RegCloseKey(key);
    return created == kErrorSuccess && set == kErrorSuccess;
}

} // namespace tessaly
