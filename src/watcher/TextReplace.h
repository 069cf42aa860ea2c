#pragma once

// Literal text replacement with the semantics the status text relies on.

#include <QString>
#include <QStringView>

namespace tessaly::text {

// Replaces every non-overlapping occurrence of `x` in `text` by `y`, scanning left to right in one
// pass; replaced text is not scanned again. An empty `x` changes nothing. Linear in the length of
// `text` plus the length of `x`.
QString ReplaceAll(const QString& text, QStringView x, QStringView y);

} // namespace tessaly::text
