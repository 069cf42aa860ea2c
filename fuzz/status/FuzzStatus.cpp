// libFuzzer target for the status text: CleanStatusText and FormatStatus must not crash, trip a
// sanitizer or take longer than 100 ms of CPU, plus 10 µs for each character FormatStatus
// expands to. Its substitutions run one after the other on what the previous one produced, so
// a format, artist and album full of tokens multiply the input's length; the work is linear in
// what they produce, and inputs that would expand beyond kMaxExpanded characters are skipped.

#include "watcher/FormatStatus.h"
#include "watcher/Module1.h"
#include "watcher/TextReplace.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr double kBudgetSeconds = 0.100;
constexpr double kBudgetSecondsPerExpandedChar = 10e-6;
constexpr std::size_t kMaxExpanded = 64 * 1024;

// CPU time of this thread: other processes on a busy machine do not count against the budget.
double ThreadSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The first byte picks the routine and how the rest becomes text; raw UTF-16 (little-endian, an
// odd last byte dropped) reaches lone surrogates and every code unit, Latin-1 lets the
// dictionary's words through unchanged.
std::u16string Decode(const std::uint8_t* data, std::size_t size, bool utf16)
{
    std::u16string text;
    if (utf16) {
        text.reserve(size / 2);
        for (std::size_t i = 0; i + 1 < size; i += 2)
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    } else {
        text.assign(data, data + size);
    }
    return text;
}

// The pieces between the separators, empty ones included.
std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string_view> fields;
    while (true) {
        const std::size_t at = text.find(separator);
        fields.push_back(text.substr(0, at));
        if (at == std::u16string_view::npos)
            return fields;
        text.remove_prefix(at + 1);
    }
}

std::size_t Occurrences(std::u16string_view text, std::u16string_view token)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(token); at != std::u16string_view::npos;
         at = text.find(token, at + token.size()))
        ++count;
    return count;
}

// The length FormatStatus's substitutions reach, or nothing once it would pass kMaxExpanded.
std::optional<std::size_t> ExpandedLength(std::u16string_view format, std::u16string_view artist,
                                          std::u16string_view album, std::u16string_view title)
{
    using tessaly::text::ReplaceAll;
    const auto grown = [](std::u16string_view text, std::u16string_view token,
                          std::u16string_view by) {
        const std::size_t found = Occurrences(text, token);
        return text.size() - found * token.size() + found * by.size();
    };
    if (grown(format, u"%A", artist) > kMaxExpanded)
        return std::nullopt;
    const std::u16string withArtist = ReplaceAll(format, u"%A", artist);
    if (grown(withArtist, u"%L", album) > kMaxExpanded)
        return std::nullopt;
    const std::u16string withAlbum = ReplaceAll(withArtist, u"%L", album);
    const std::size_t length = grown(withAlbum, u"%T", title);
    if (length > kMaxExpanded)
        return std::nullopt;
    return length;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    const std::u16string text = Decode(data + 1, size - 1, (mode & 1) != 0);

    double budget = kBudgetSeconds;
    double start = 0;
    std::u16string result;
    if ((mode & 2) == 0) {
        start = ThreadSeconds();
        result = Module1::CleanStatusText(text);
    } else {
        // Fields separated by U+001F: format, artist, album, title.
        const std::vector<std::u16string_view> fields = Split(text, u'\x1f');
        const auto field = [&](std::size_t i) {
            return i < fields.size() ? fields[i] : std::u16string_view();
        };
        const std::optional<std::size_t> expanded =
            ExpandedLength(field(0), field(1), field(2), field(3));
        if (!expanded)
            return 0;
        budget += kBudgetSecondsPerExpandedChar * static_cast<double>(*expanded);
        start = ThreadSeconds();
        result = FormatStatus(field(0), field(1), field(2), field(3));
    }
    const double elapsed = ThreadSeconds() - start;
    if (elapsed > budget) {
        std::fprintf(stderr, "slow input: %.1f ms for %zu bytes\n", elapsed * 1e3, size);
        std::abort();
    }
    return 0;
}
