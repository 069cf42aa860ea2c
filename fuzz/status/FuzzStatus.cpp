// libFuzzer target for the status text: CleanStatusText and FormatStatus must not crash, trip a
// sanitizer or take longer than 100 ms of CPU, plus 10 µs for each unit the tokens expand to.
// The substitutions run one after the other on what the previous one produced, so a format,
// artist and album full of tokens multiply the input's length up to the status's cut, and the
// cleaning's work is linear in what they produce.

#include "watcher/FormatStatus.h"
#include "watcher/Module1.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr double kBudgetSeconds = 0.100;
constexpr double kBudgetSecondsPerExpandedUnit = 10e-6;
constexpr int kTimings = 3;

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    const std::u16string text = Decode(data + 1, size - 1, (mode & 1) != 0);

    double budget = kBudgetSeconds;
    std::function<void()> run;
    std::vector<std::u16string_view> fields;
    if ((mode & 2) == 0) {
        run = [&] {
            Module1::CleanStatusText(text);
        };
    } else {
        // Fields separated by U+001F: format, artist, album, title.
        fields = Split(text, u'\x1f');
        fields.resize(std::max<std::size_t>(fields.size(), 4));
        const std::size_t expanded =
            ExpandStatusTokens(fields[0], fields[1], fields[2], fields[3]).size();
        if (expanded > kMaxStatusUnits) {
            std::fprintf(stderr, "expanded past the cut: %zu units\n", expanded);
            std::abort();
        }
        budget += kBudgetSecondsPerExpandedUnit * static_cast<double>(expanded);
        run = [&] {
            FormatStatus(fields[0], fields[1], fields[2], fields[3]);
        };
    }
    // A run over budget is timed again: a machine that stalls the process now and then (a virtual
    // machine's neighbours, page faults under memory pressure) must not count as a slow input; an
    // input that really is slow is slow every time.
    double fastest = 0;
    for (int attempt = 0; attempt < kTimings; ++attempt) {
        const double start = ThreadSeconds();
        run();
        const double elapsed = ThreadSeconds() - start;
        fastest = attempt == 0 ? elapsed : std::min(fastest, elapsed);
        if (fastest <= budget)
            return 0;
    }
    std::fprintf(stderr, "slow input: %.1f ms at best of %d for %zu bytes\n", fastest * 1e3,
                 kTimings, size);
    std::abort();
}
