#pragma once

// Captions with access-key markers, drawn the way the platform's labels draw them: a single "&"
// is hidden and underlines the character after it, "&&" shows one "&".

#include <QString>

namespace tessaly {

// The caption as the text a person reads ("&&" -> "&", a lone "&" dropped).
QString MnemonicPlainText(const QString& caption);

// The caption as Qt rich text: HTML-escaped, the marked characters in <u>, line breaks kept and
// blanks preserved, so a QLabel in Qt::RichText format shows it as the platform would.
QString MnemonicRichText(const QString& caption);

} // namespace tessaly
