#include "popup/qt/MnemonicRichText.h"

#include "common/qt/QtText.h"
#include "popup/Mnemonic.h"

#include <string_view>

namespace tessaly {

QString MnemonicRichText(const QString& caption)
{
    QString out = QStringLiteral("<span style=\"white-space:pre-wrap\">");
    const std::u16string_view text(reinterpret_cast<const char16_t*>(caption.utf16()),
                                   static_cast<std::size_t>(caption.size()));
    char16_t previous = 0;
    ForEachMnemonicChar(text, [&](std::u16string_view view, bool underlined) {
        const char16_t c = view.front();
        const bool crlf = c == u'\n' && previous == u'\r';
        previous = c;
        if (crlf)
            return; // CR LF is one line break
        const QString piece =
            c == u'\r' || c == u'\n' ? QStringLiteral("<br>") : ToQString(view).toHtmlEscaped();
        if (underlined)
            out += QStringLiteral("<u>") + piece + QStringLiteral("</u>");
        else
            out += piece;
    });
    out += QStringLiteral("</span>");
    return out;
}

} // namespace tessaly
