#include "popup/Mnemonic.h"

namespace tessaly {

std::u16string MnemonicPlainText(std::u16string_view caption)
{
    std::u16string out;
    out.reserve(caption.size());
    ForEachMnemonicChar(caption, [&](std::u16string_view c, bool) { out += c; });
    return out;
}

} // namespace tessaly
