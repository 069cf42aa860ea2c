#include "watcher/Module1.h"

#include "watcher/TextReplace.h"

#include <cstdint>
#include <optional>
#include <QStringView>
#include <vector>

namespace Module1 {

namespace {

using tessaly::text::ReplaceAll;

// Positions of parentheses are kept in 16-bit signed integers.
constexpr qsizetype kMaxParenPosition = INT16_MAX;

bool EndsWith(const QString& w, QStringView tail)
{
    return w.endsWith(tail, Qt::CaseSensitive);
}

void DropLast(QString& w, qsizetype n)
{
    w.chop(n);
}

// Step 7: remove bracketed remarks, the last one first, at most three times. Every occurrence of
// the remark goes, not only the one found. Fails on a ")" more than one place before the last
// "(", or on a parenthesis beyond the 16-bit position limit.
bool RemoveRemarks(QString& w)
{
    if (ContainsText(QStringLiteral("("), w) != QLatin1String("yes"))
        return true;
    for (int round = 0; round < 3; ++round) {
        const qsizetype a = w.lastIndexOf(u'(') + 1;
        const qsizetype b = w.lastIndexOf(u')') + 1;
        if (a > kMaxParenPosition || b > kMaxParenPosition)
            return false;
        if (a == 0 || b == 0)
            return true;
        const qsizetype length = b - a + 1;
        if (length < 0)
            return false;
        w = ReplaceAll(w, QStringView(w).sliced(a - 1, length).toString(), u"");
    }
    return true;
}

// Step 8: a space followed by a lower-case a..z gets the capital. One pass does what 26 passes of
// replace-all(" x", " X") do: a replacement never creates or hides another space-letter pair.
void CapitaliseWords(QString& w)
{
    QChar* data = w.data();
    for (qsizetype i = 1; i < w.size(); ++i) {
        const char16_t c = data[i].unicode();
        if (c >= u'a' && c <= u'z' && data[i - 1] == u' ')
            data[i] = QChar(char16_t(c - u'a' + u'A'));
    }
}

// Steps 9 and 11: track numbers between dashes, each number in turn (order matters). The
// patterns are built once: they are the same for every call.
struct NumberPatterns {
    QString plain;
    QString track;
    unsigned digits; // bit d set for each decimal digit d in the number
};

unsigned DigitsIn(QStringView text)
{
    unsigned digits = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits |= 1u << (c.unicode() - u'0');
    }
    return digits;
}

std::vector<NumberPatterns> MakeNumberPatterns(int last, bool twoDigits)
{
    std::vector<NumberPatterns> patterns;
    for (int n = 0; n <= last; ++n) {
        const QString number =
            twoDigits ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) : QString::number(n);
        patterns.push_back({QString(u" - " % number % u" - "),
                            QString(u" - Track " % number % u" - "), DigitsIn(number)});
    }
    return patterns;
}

void RemoveTrackNumbers(QString& w, const std::vector<NumberPatterns>& patterns)
{
    // Removing text never adds a digit, so a number whose digits are missing now cannot match
    // later either: most titles skip these passes altogether.
    const unsigned present = DigitsIn(w);
    for (const NumberPatterns& p : patterns) {
        if ((p.digits & present) != p.digits)
            continue;
        w = ReplaceAll(w, p.plain, u" - ");
        w = ReplaceAll(w, p.track, u" - ");
    }
}

// Steps 13 and 18: a trailing "(1)" .. "(9)", checked in ascending order.
void DropCopyNumber(QString& w)
{
    static constexpr char16_t kCopies[9][4] = {u"(1)", u"(2)", u"(3)", u"(4)", u"(5)",
                                               u"(6)", u"(7)", u"(8)", u"(9)"};
    for (const char16_t* copy : kCopies) {
        if (EndsWith(w, QStringView(copy, 3)))
            DropLast(w, 3);
    }
}

std::optional<QString> Clean(const QString& s)
{
    static const std::vector<NumberPatterns> kTwoDigits = MakeNumberPatterns(9, true);
    static const std::vector<NumberPatterns> kNumbers = MakeNumberPatterns(20, false);
    QString w = QString(u' ' % s);  // 1
    w = w.toLower();                // 2
    w = ReplaceAll(w, u"  ", u" "); // 3
    w = ReplaceAll(w, u"!", u"");   // 4
    w = ReplaceAll(w, u"^", u"");
    w = ReplaceAll(w, u"_", u" "); // 5
    w = ReplaceAll(w, u"%20", u" ");
    w = ReplaceAll(w, u"[", u"("); // 6
    w = ReplaceAll(w, u"]", u")");
    if (!RemoveRemarks(w)) // 7
        return std::nullopt;
    CapitaliseWords(w);                // 8
    RemoveTrackNumbers(w, kTwoDigits); // 9
    w = ReplaceAll(w, u"--", u" - ");  // 10
    w = ReplaceAll(w, u"- -", u" - ");
    w = ReplaceAll(w, u"--", u" - ");
    RemoveTrackNumbers(w, kNumbers); // 11
    if (EndsWith(w, u".mp3"))        // 12
        DropLast(w, 4);
    DropCopyNumber(w);     // 13
    if (EndsWith(w, u"-")) // 14
        DropLast(w, 1);
    for (int i = 0; i < 4; ++i) { // 15
        if (EndsWith(w, u" "))
            DropLast(w, 1);
        if (w.startsWith(u' '))
            w.remove(0, 1);
    }
    if (w.startsWith(u"Unknown Artist - ")) // 16
        w.remove(0, 17);
    const QStringView head = QStringView(w).left(5); // 17
    if (!head.isEmpty() && head.back() == u'-') {
        if (w.size() < 5)
            return std::nullopt;
        w = QString(head.toString().toUpper() % QStringView(w).sliced(5));
    }
    DropCopyNumber(w);     // 18
    if (EndsWith(w, u" ")) // 19
        DropLast(w, 1);
    return w; // 20
}

} // namespace

QString CleanStatusText(const QString& s)
{
    try {
        return Clean(s).value_or(QString());
    } catch (...) {
        // Out of memory on a huge text: an empty status is the documented failure result.
        return QString();
    }
}

QString ContainsText(const QString& fragment, const QString& text)
{
    const bool found = !text.isEmpty() && text.toLower().lastIndexOf(fragment.toLower()) >= 0;
    return found ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace Module1
