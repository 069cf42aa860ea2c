#pragma once

// Access-key captions (see popup/Mnemonic.h) for Qt's labels, which know no markers.

#include <QString>

namespace tessaly {

// The caption as Qt rich text: HTML-escaped, the marked characters in <u>, line breaks kept and
// blanks preserved, so Qt's rich-text layout shows it as the platform would.
QString MnemonicRichText(const QString& caption);

} // namespace tessaly
