#pragma once

// Tidying of the status text: title case without the debris of file names and stream titles.

#include <QString>

namespace Module1 {

// The status text in the form that is shown and published. Any failure gives the empty text.
QString CleanStatusText(const QString& s);

// "yes" when `text` is not empty and its lower-case form contains the lower-case form of
// `fragment`, else "no".
QString ContainsText(const QString& fragment, const QString& text);

} // namespace Module1
