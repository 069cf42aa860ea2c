// libFuzzer target for the status text: CleanStatusText and FormatStatus must not crash, trip a
// sanitizer or take longer than 100 ms of CPU on any input.

#include "watcher/FormatStatus.h"
#include "watcher/Module1.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <QString>
#include <QStringList>

namespace {

constexpr double kBudgetSeconds = 0.100;

// CPU time of this thread: other processes on a busy machine do not count against the budget.
double ThreadSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The first byte picks the routine and how the rest becomes text; raw UTF-16 reaches lone
// surrogates and every code unit, Latin-1 lets the dictionary's words through unchanged.
QString Decode(const std::uint8_t* data, std::size_t size, bool utf16)
{
    if (utf16)
        return QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));
    return QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    const QString text = Decode(data + 1, size - 1, (mode & 1) != 0);

    const double start = ThreadSeconds();
    QString result;
    if ((mode & 2) == 0) {
        result = Module1::CleanStatusText(text);
    } else {
        // Fields separated by U+001F: format, artist, album, title.
        const QStringList fields = text.split(QChar(0x1f));
        const auto field = [&](qsizetype i) {
            return i < fields.size() ? fields[i] : QString();
        };
        result = FormatStatus(field(0), field(1), field(2), field(3));
    }
    const double elapsed = ThreadSeconds() - start;
    if (elapsed > kBudgetSeconds) {
        std::fprintf(stderr, "slow input: %.1f ms for %zu bytes\n", elapsed * 1e3, size);
        std::abort();
    }
    return 0;
}
