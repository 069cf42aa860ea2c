#include "popup/Mnemonic.h"

namespace tessaly {

namespace {

// Walks a caption and reports each visible character (a surrogate pair as one), and whether an
// access-key marker underlines it.
template <typename Emit> void WalkCaption(const QString& caption, Emit emit)
{
    const qsizetype n = caption.size();
    for (qsizetype i = 0; i < n; ++i) {
        bool underlined = false;
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 >= n)
                return; // a trailing marker has nothing to underline
            ++i;
            underlined = caption.at(i) != QLatin1Char('&');
        }
        const qsizetype length =
            caption.at(i).isHighSurrogate() && i + 1 < n && caption.at(i + 1).isLowSurrogate() ? 2
                                                                                               : 1;
        emit(QStringView(caption).mid(i, length), underlined);
        i += length - 1;
    }
}

} // namespace

QString MnemonicPlainText(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    WalkCaption(caption, [&](QStringView c, bool) { out.append(c); });
    return out;
}

QString MnemonicRichText(const QString& caption)
{
    QString out = QStringLiteral("<span style=\"white-space:pre-wrap\">");
    QChar previous;
    WalkCaption(caption, [&](QStringView view, bool underlined) {
        const QChar c = view.front();
        const bool crlf = c == QLatin1Char('\n') && previous == QLatin1Char('\r');
        previous = c;
        if (crlf)
            return; // CR LF is one line break
        QString piece;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            piece = QStringLiteral("<br>");
        else
            piece = view.toString().toHtmlEscaped();
        if (underlined)
            out += QStringLiteral("<u>") + piece + QStringLiteral("</u>");
        else
            out += piece;
    });
    out += QStringLiteral("</span>");
    return out;
}

} // namespace tessaly
