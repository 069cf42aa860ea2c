#include "support/core/CoreTestText.h"

#include "common/Text.h"

namespace tessaly::test {

std::u16string U16(std::string_view utf8)
{
    return Utf8ToUtf16(utf8);
}

std::string U8(std::u16string_view utf16)
{
    return Utf16ToUtf8(utf16);
}

} // namespace tessaly::test
