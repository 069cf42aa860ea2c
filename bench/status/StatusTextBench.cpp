// CleanStatusText on a typical 60-character title and on 64 KiB texts; the figures are
// nanoseconds per call.

#include "watcher/Module1.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype k64KiB = 64 * 1024;

QString Repeat(const QString& unit, qsizetype size)
{
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    text.truncate(size);
    return text;
}

const QString& Title()
{
    static const QString title =
        QStringLiteral("Unknown_Artist - the band - track 07 - night%20drive!! (live)");
    return title;
}

void Clean(benchmark::State& state, const QString& input)
{
    for (auto _ : state) {
        QString result = Module1::CleanStatusText(input);
        benchmark::DoNotOptimize(result);
    }
    state.counters["chars"] = static_cast<double>(input.size());
    state.SetBytesProcessed(state.iterations() * input.size() * 2);
}

void BM_Title60(benchmark::State& state)
{
    Clean(state, Title().left(60));
}

// Every step runs over the whole text: words, separators and debris, no brackets.
void BM_Text64KiB(benchmark::State& state)
{
    Clean(state,
          Repeat(QStringLiteral("some_artist - track 07 - night%20drive!! -- 12 - "), k64KiB));
}

// Dense candidates for the number and dash passes.
void BM_Dashes64KiB(benchmark::State& state)
{
    Clean(state, Repeat(QStringLiteral(" - 1 - 07 - - "), k64KiB));
}

// Brackets in the first half: step 7 removes them with long pieces over the whole text.
void BM_Remarks64KiB(benchmark::State& state)
{
    const QString half = Repeat(QStringLiteral("title (remark) "), k64KiB / 2 - 100);
    Clean(state, QString(half + QStringLiteral("(") + QString(90, u'x') + QStringLiteral(")") +
                         Repeat(QStringLiteral("word "), k64KiB / 2 + 8)));
}

} // namespace

BENCHMARK(BM_Title60)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Text64KiB)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Dashes64KiB)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Remarks64KiB)->Unit(benchmark::kNanosecond);
BENCHMARK_MAIN();
