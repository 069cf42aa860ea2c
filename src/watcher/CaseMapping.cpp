#include "watcher/CaseMapping.h"

#include "common/Text.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace tessaly::text {

namespace {

// Code points first .. first + span - 1 that map alike. Stride 1: each maps to itself plus delta.
// Stride 2: every other one does (many scripts alternate capital and small letters) and the ones
// in between are not in the run. Stride 0: each maps to kExpansions[delta + its offset].
struct CaseRun {
    std::uint32_t first : 21;
    std::uint32_t span : 9;
    std::uint32_t stride : 2;
    std::int32_t delta;
};
static_assert(sizeof(CaseRun) == 8);

// A mapping to more than one code point: at most three units.
struct CaseExpansion {
    char16_t units[3];
    std::uint8_t length;
};

#include "watcher/CaseTables.inc"

void AppendCodePoint(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

void AppendMapped(std::u16string& out, char32_t c, std::span<const CaseRun> runs)
{
    auto run = std::upper_bound(runs.begin(), runs.end(), c,
                                [](char32_t key, const CaseRun& r) { return key < r.first; });
    if (run != runs.begin()) {
        --run;
        const char32_t offset = c - run->first;
        if (offset < run->span && (run->stride != 2 || offset % 2 == 0)) {
            if (run->stride == 0) {
                const CaseExpansion& e = kExpansions[static_cast<std::size_t>(run->delta) + offset];
                out.append(e.units, e.length);
            } else {
                AppendCodePoint(out,
                                static_cast<char32_t>(static_cast<std::int32_t>(c) + run->delta));
            }
            return;
        }
    }
    AppendCodePoint(out, c);
}

template <char16_t From, char16_t To>
std::u16string Convert(std::u16string_view s, std::span<const CaseRun> runs)
{
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        // ASCII needs no table, and whole stretches of it are copied and mapped at once.
        std::size_t end = i;
        while (end < s.size() && s[end] < 0x80)
            ++end;
        if (end != i) {
            const std::size_t from = out.size();
            out.append(s.substr(i, end - i));
            for (std::size_t k = from; k < out.size(); ++k) {
                if (out[k] >= From && out[k] <= From + 25)
                    out[k] = static_cast<char16_t>(out[k] - From + To);
            }
            i = end;
            continue;
        }
        const char16_t u = s[i++];
        if (IsHighSurrogate(u) && i < s.size() && IsLowSurrogate(s[i])) {
            const char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (s[i++] - 0xDC00);
            AppendMapped(out, c, runs);
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            out.push_back(u);
        } else {
            AppendMapped(out, u, runs);
        }
    }
    return out;
}

} // namespace

std::u16string ToLower(std::u16string_view s)
{
    return Convert<u'A', u'a'>(s, kLowerRuns);
}

std::u16string ToUpper(std::u16string_view s)
{
    return Convert<u'a', u'A'>(s, kUpperRuns);
}

} // namespace tessaly::text
