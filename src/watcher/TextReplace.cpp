#include "watcher/TextReplace.h"

#include <vector>

namespace tessaly::text {

namespace {

// Short needles: Qt's search (a rolling hash, or Boyer-Moore on long texts) restarted after each
// match. Its worst case is bounded by the needle length, so the pass stays linear.
constexpr qsizetype kShortNeedle = 32;

template <typename OnMatch> void ForEachShortMatch(QStringView text, QStringView x, OnMatch onMatch)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = text.indexOf(x, from);
        if (at < 0)
            return;
        onMatch(at);
        from = at + x.size();
    }
}

// Long needles (a removed remark can be thousands of characters): Knuth-Morris-Pratt, restarted
// after each match so that matches do not overlap. Worst case O(|text| + |x|).
template <typename OnMatch> void ForEachLongMatch(QStringView text, QStringView x, OnMatch onMatch)
{
    const qsizetype m = x.size();
    std::vector<qsizetype> border(static_cast<std::size_t>(m), 0);
    for (qsizetype i = 1, k = 0; i < m; ++i) {
        while (k > 0 && x[i] != x[k])
            k = border[static_cast<std::size_t>(k - 1)];
        if (x[i] == x[k])
            ++k;
        border[static_cast<std::size_t>(i)] = k;
    }
    qsizetype k = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != x[k])
            k = border[static_cast<std::size_t>(k - 1)];
        if (text[i] == x[k])
            ++k;
        if (k == m) {
            onMatch(i - m + 1);
            k = 0;
        }
    }
}

} // namespace

QString ReplaceAll(const QString& text, QStringView x, QStringView y)
{
    if (x.isEmpty() || text.size() < x.size())
        return text;
    QString out;
    qsizetype copied = 0;
    bool any = false;
    auto onMatch = [&](qsizetype at) {
        if (!any) {
            out.reserve(text.size());
            any = true;
        }
        out.append(QStringView(text).sliced(copied, at - copied));
        out.append(y);
        copied = at + x.size();
    };
    if (x.size() <= kShortNeedle)
        ForEachShortMatch(text, x, onMatch);
    else
        ForEachLongMatch(text, x, onMatch);
    if (!any)
        return text;
    out.append(QStringView(text).sliced(copied));
    return out;
}

} // namespace tessaly::text
