#include "watcher/TextReplace.h"

#include "common/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace tessaly::text {

namespace {

// Short needles: a place is a candidate when two of its units match the needle's, and four places
// are ruled out at once by comparing four units in a 64-bit word. A candidate costs at most the
// needle's length, so the pass stays linear.
constexpr std::size_t kShortNeedle = 32;

constexpr std::uint64_t kUnitOnes = 0x0001000100010001;

std::uint64_t FourUnits(const char16_t* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// True when any of the four 16-bit units of `word` is zero.
constexpr bool AnyUnitZero(std::uint64_t word)
{
    return ((word - kUnitOnes) & ~word & (kUnitOnes << 15)) != 0;
}

template <typename OnMatch>
void ForEachShortMatch(std::u16string_view text, std::u16string_view x, OnMatch onMatch)
{
    const std::size_t m = x.size();
    // Titles have far more spaces and dashes than any one letter or digit: the needle's largest
    // unit and its last (or first) one make the two that rule out most places.
    const auto k1 = static_cast<std::size_t>(std::max_element(x.begin(), x.end()) - x.begin());
    const std::size_t k2 = k1 == m - 1 ? 0 : m - 1;
    const std::uint64_t units1 = kUnitOnes * x[k1];
    const std::uint64_t units2 = kUnitOnes * x[k2];
    const std::size_t places = text.size() - m + 1;
    std::size_t at = 0;
    while (at < places) {
        if (places - at >= 4) {
            const std::uint64_t misses = (FourUnits(text.data() + at + k1) ^ units1) |
                                         (FourUnits(text.data() + at + k2) ^ units2);
            if (!AnyUnitZero(misses)) {
                at += 4;
                continue;
            }
        }
        if (text[at + k1] == x[k1] && text.substr(at, m) == x) {
            onMatch(at);
            at += m;
        } else {
            ++at;
        }
    }
}

// Long needles (a removed remark can be thousands of characters): Knuth-Morris-Pratt, restarted
// after each match so that matches do not overlap. Worst case O(|text| + |x|).
template <typename OnMatch>
void ForEachLongMatch(std::u16string_view text, std::u16string_view x, OnMatch onMatch)
{
    const std::size_t m = x.size();
    std::vector<std::size_t> border(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && x[i] != x[k])
            k = border[k - 1];
        if (x[i] == x[k])
            ++k;
        border[i] = k;
    }
    std::size_t k = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != x[k])
            k = border[k - 1];
        if (text[i] == x[k])
            ++k;
        if (k == m) {
            onMatch(i + 1 - m);
            k = 0;
        }
    }
}

// The text with the replacements made and cut to `maxUnits`, or nothing when `x` does not occur.
std::optional<std::u16string> Replaced(std::u16string_view text, std::u16string_view x,
                                       std::u16string_view y, std::size_t maxUnits)
{
    if (x.empty() || text.size() < x.size())
        return std::nullopt;
    std::optional<std::u16string> out;
    bool full = false;
    // Once a piece has been cut nothing after it may follow, or the result would lose its middle.
    auto append = [&](std::u16string_view piece) {
        if (full)
            return;
        const std::size_t room = maxUnits - out->size();
        if (piece.size() > room) {
            piece = piece.substr(0, WholeCharactersWithin(piece, room));
            full = true;
        }
        out->append(piece);
    };
    std::size_t copied = 0;
    auto onMatch = [&](std::size_t at) {
        if (!out) {
            out.emplace();
            out->reserve(std::min(text.size(), maxUnits));
        }
        append(text.substr(copied, at - copied));
        append(y);
        copied = at + x.size();
    };
    if (x.size() <= kShortNeedle)
        ForEachShortMatch(text, x, onMatch);
    else
        ForEachLongMatch(text, x, onMatch);
    if (out)
        append(text.substr(copied));
    return out;
}

} // namespace

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view x, std::u16string_view y)
{
    return ReplaceAll(text, x, y, std::u16string::npos);
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view x, std::u16string_view y,
                          std::size_t maxUnits)
{
    std::optional<std::u16string> out = Replaced(text, x, y, maxUnits);
    return out ? std::move(*out)
               : std::u16string(text.substr(0, WholeCharactersWithin(text, maxUnits)));
}

void ReplaceAllIn(std::u16string& text, std::u16string_view x, std::u16string_view y)
{
    if (std::optional<std::u16string> out = Replaced(text, x, y, std::u16string::npos))
        text = std::move(*out);
}

} // namespace tessaly::text
