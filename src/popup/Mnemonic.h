#pragma once

// Captions with access-key markers, read the way the platform's labels draw them: a single "&"
// is hidden and underlines the character after it, "&&" shows one "&".

#include "common/Text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

// Walks a caption and hands emit(character, underlined) each visible character in order (a
// surrogate pair as one character), with whether an access-key marker underlines it. A trailing
// lone "&" has nothing to underline and shows nothing.
template <typename Emit> void ForEachMnemonicChar(std::u16string_view caption, Emit&& emit)
{
    const std::size_t n = caption.size();
    for (std::size_t i = 0; i < n; ++i) {
        bool underlined = false;
        if (caption[i] == u'&') {
            if (i + 1 >= n)
                return;
            ++i;
            underlined = caption[i] != u'&';
        }
        const bool pair =
            IsHighSurrogate(caption[i]) && i + 1 < n && IsLowSurrogate(caption[i + 1]);
        const std::size_t length = pair ? 2 : 1;
        emit(caption.substr(i, length), underlined);
        i += length - 1;
    }
}

// The caption as the text a person reads ("&&" -> "&", a lone "&" dropped).
std::u16string MnemonicPlainText(std::u16string_view caption);

} // namespace tessaly
