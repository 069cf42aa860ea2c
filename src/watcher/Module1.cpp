#include "watcher/Module1.h"

#include "watcher/CaseMapping.h"
#include "watcher/TextReplace.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace Module1 {

namespace {

using tessaly::text::ReplaceAllIn;
using tessaly::text::ToLower;
using tessaly::text::ToUpper;

// Positions of parentheses are kept in 16-bit signed integers.
constexpr std::size_t kMaxParenPosition = INT16_MAX;

bool EndsWith(const std::u16string& w, std::u16string_view tail)
{
    return w.ends_with(tail);
}

void DropLast(std::u16string& w, std::size_t n)
{
    w.erase(w.size() - std::min(n, w.size()));
}

// Position of the last `c` counted from 1, 0 when there is none.
std::size_t LastPosition(const std::u16string& w, char16_t c)
{
    const std::size_t at = w.rfind(c);
    return at == std::u16string::npos ? 0 : at + 1;
}

// Step 7: remove bracketed remarks, the last one first, at most three times. Every occurrence of
// the remark goes, not only the one found. Fails on a ")" more than one place before the last
// "(", or on a parenthesis beyond the 16-bit position limit.
bool RemoveRemarks(std::u16string& w)
{
    // ContainsText("(", w) in effect: "(" has no case, so no lowering is needed to look for it.
    if (w.find(u'(') == std::u16string::npos)
        return true;
    for (int round = 0; round < 3; ++round) {
        const std::size_t a = LastPosition(w, u'(');
        const std::size_t b = LastPosition(w, u')');
        if (a > kMaxParenPosition || b > kMaxParenPosition)
            return false;
        if (a == 0 || b == 0)
            return true;
        const std::ptrdiff_t length =
            static_cast<std::ptrdiff_t>(b) - static_cast<std::ptrdiff_t>(a) + 1;
        if (length < 0)
            return false;
        ReplaceAllIn(w, std::u16string_view(w).substr(a - 1, static_cast<std::size_t>(length)),
                     u"");
    }
    return true;
}

// Step 8: a space followed by a lower-case a..z gets the capital. One pass does what 26 passes of
// replace-all(" x", " X") do: a replacement never creates or hides another space-letter pair.
void CapitaliseWords(std::u16string& w)
{
    for (std::size_t i = 1; i < w.size(); ++i) {
        const char16_t c = w[i];
        if (c >= u'a' && c <= u'z' && w[i - 1] == u' ')
            w[i] = static_cast<char16_t>(c - u'a' + u'A');
    }
}

// Steps 9 and 11: track numbers between dashes, each number in turn (order matters). The
// patterns are built once: they are the same for every call.
struct NumberPatterns {
    std::u16string plain;
    std::u16string track;
    unsigned digits; // bit d set for each decimal digit d in the number
};

unsigned DigitsIn(std::u16string_view text)
{
    unsigned digits = 0;
    for (const char16_t c : text) {
        if (c >= u'0' && c <= u'9')
            digits |= 1u << (c - u'0');
    }
    return digits;
}

// `n` in decimal, padded with zeros to `width` digits.
std::u16string Decimal(int n, std::size_t width)
{
    std::u16string number;
    do {
        number.insert(number.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    if (number.size() < width)
        number.insert(0, width - number.size(), u'0');
    return number;
}

std::vector<NumberPatterns> MakeNumberPatterns(int last, bool twoDigits)
{
    std::vector<NumberPatterns> patterns;
    for (int n = 0; n <= last; ++n) {
        const std::u16string number = Decimal(n, twoDigits ? 2 : 1);
        patterns.push_back(
            {u" - " + number + u" - ", u" - Track " + number + u" - ", DigitsIn(number)});
    }
    return patterns;
}

void RemoveTrackNumbers(std::u16string& w, const std::vector<NumberPatterns>& patterns)
{
    // Removing text never adds a digit, so a number whose digits are missing now cannot match
    // later either: most titles skip these passes altogether.
    const unsigned present = DigitsIn(w);
    for (const NumberPatterns& p : patterns) {
        if ((p.digits & present) != p.digits)
            continue;
        ReplaceAllIn(w, p.plain, u" - ");
        ReplaceAllIn(w, p.track, u" - ");
    }
}

// Steps 13 and 18: a trailing "(1)" .. "(9)", checked in ascending order.
void DropCopyNumber(std::u16string& w)
{
    static constexpr std::u16string_view kCopies[9] = {u"(1)", u"(2)", u"(3)", u"(4)", u"(5)",
                                                       u"(6)", u"(7)", u"(8)", u"(9)"};
    for (const std::u16string_view copy : kCopies) {
        if (EndsWith(w, copy))
            DropLast(w, copy.size());
    }
}

std::optional<std::u16string> Clean(std::u16string_view s)
{
    static const std::vector<NumberPatterns> kTwoDigits = MakeNumberPatterns(9, true);
    static const std::vector<NumberPatterns> kNumbers = MakeNumberPatterns(20, false);
    std::u16string w = u" "; // 1
    w += s;
    w = ToLower(w);               // 2
    ReplaceAllIn(w, u"  ", u" "); // 3
    ReplaceAllIn(w, u"!", u"");   // 4
    ReplaceAllIn(w, u"^", u"");
    ReplaceAllIn(w, u"_", u" "); // 5
    ReplaceAllIn(w, u"%20", u" ");
    ReplaceAllIn(w, u"[", u"("); // 6
    ReplaceAllIn(w, u"]", u")");
    if (!RemoveRemarks(w)) // 7
        return std::nullopt;
    CapitaliseWords(w);                // 8
    RemoveTrackNumbers(w, kTwoDigits); // 9
    ReplaceAllIn(w, u"--", u" - ");    // 10
    ReplaceAllIn(w, u"- -", u" - ");
    ReplaceAllIn(w, u"--", u" - ");
    RemoveTrackNumbers(w, kNumbers); // 11
    if (EndsWith(w, u".mp3"))        // 12
        DropLast(w, 4);
    DropCopyNumber(w);     // 13
    if (EndsWith(w, u"-")) // 14
        DropLast(w, 1);
    for (int i = 0; i < 4; ++i) { // 15
        if (EndsWith(w, u" "))
            DropLast(w, 1);
        if (w.starts_with(u' '))
            w.erase(0, 1);
    }
    if (w.starts_with(u"Unknown Artist - ")) // 16
        w.erase(0, 17);
    const std::u16string_view head = std::u16string_view(w).substr(0, 5); // 17
    if (!head.empty() && head.back() == u'-') {
        if (w.size() < 5)
            return std::nullopt;
        w.replace(0, 5, ToUpper(head));
    }
    DropCopyNumber(w);     // 18
    if (EndsWith(w, u" ")) // 19
        DropLast(w, 1);
    return w; // 20
}

} // namespace

std::u16string CleanStatusText(std::u16string_view s)
{
    try {
        return Clean(s).value_or(std::u16string());
    } catch (...) {
        // Out of memory on a huge text: an empty status is the documented failure result.
        return std::u16string();
    }
}

std::u16string ContainsText(std::u16string_view fragment, std::u16string_view text)
{
    const bool found =
        !text.empty() && ToLower(text).find(ToLower(fragment)) != std::u16string::npos;
    return found ? u"yes" : u"no";
}

} // namespace Module1
