#pragma once

// The one place where the core's UTF-16 text and Qt's meet.

#include <QString>
#include <string>
#include <string_view>

namespace tessaly {

inline QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text)
{
    return text.toStdU16String();
}

} // namespace tessaly
