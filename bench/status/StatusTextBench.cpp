// CleanStatusText on a typical 60-character title and on 64 KiB texts, and FormatStatus on a
// player's text full of tokens; the figures are nanoseconds per call.

#include "watcher/FormatStatus.h"
#include "watcher/Module1.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t k64KiB = 64 * 1024;

std::u16string Repeat(std::u16string_view unit, std::size_t size)
{
    std::u16string text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    text.resize(size);
    return text;
}

const std::u16string& Title()
{
    static const std::u16string title =
        u"Unknown_Artist - the band - track 07 - night%20drive!! (live)";
    return title;
}

void Clean(benchmark::State& state, const std::u16string& input)
{
    for (auto _ : state) {
        std::u16string result = Module1::CleanStatusText(input);
        benchmark::DoNotOptimize(result);
    }
    state.counters["chars"] = static_cast<double>(input.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()) * 2);
}

void BM_Title60(benchmark::State& state)
{
    Clean(state, Title().substr(0, 60));
}

// Every step runs over the whole text: words, separators and debris, no brackets.
void BM_Text64KiB(benchmark::State& state)
{
    Clean(state, Repeat(u"some_artist - track 07 - night%20drive!! -- 12 - ", k64KiB));
}

// Dense candidates for the number and dash passes.
void BM_Dashes64KiB(benchmark::State& state)
{
    Clean(state, Repeat(u" - 1 - 07 - - ", k64KiB));
}

// Brackets in the first half: step 7 removes them with long pieces over the whole text.
void BM_Remarks64KiB(benchmark::State& state)
{
    const std::u16string half = Repeat(u"title (remark) ", k64KiB / 2 - 100);
    Clean(state, half + u"(" + std::u16string(90, u'x') + u")" + Repeat(u"word ", k64KiB / 2 + 8));
}

// A station name of 2,048 "%T" and a title at the player's 4,096-unit limit: the title is expanded
// into the name, up to the status's cut.
void BM_FormatStationOfTokens(benchmark::State& state)
{
    const std::u16string station = Repeat(u"%T", 4096);
    const std::u16string title(4096, u'x');
    std::size_t length = 0;
    for (auto _ : state) {
        std::u16string result = FormatStatus(u"%L: %A - %T", u"", station, title);
        length = result.size();
        benchmark::DoNotOptimize(result);
    }
    state.counters["chars"] = static_cast<double>(length);
}

} // namespace

BENCHMARK(BM_Title60)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Text64KiB)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Dashes64KiB)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Remarks64KiB)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_FormatStationOfTokens)->Unit(benchmark::kNanosecond);
BENCHMARK_MAIN();
