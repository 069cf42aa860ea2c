// Loaded into a measured program with LD_PRELOAD. On SIGUSR2 it appends one line to the file
// named by TESSALY_BENCH_RUSAGE: the process's voluntary and involuntary context switches and
// its user and system CPU microseconds so far, over all its threads, those that have ended
// included (getrusage keeps what ended threads spent). /proc only shows the threads alive.
//
// The handler uses only async-signal-safe calls. Answering costs the process one wake-up.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

int out = -1;

char* put(char* p, long long value)
{
    char digits[24];
    int n = 0;
    if (value < 0)
        value = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    while (n)
        *p++ = digits[--n];
    *p++ = ' ';
    return p;
}

long long micros(const timeval& t)
{
    return (long long)t.tv_sec * 1000000 + t.tv_usec;
}

void report(int)
{
    const int saved = errno;
    rusage use{};
    if (getrusage(RUSAGE_SELF, &use) == 0) {
        char line[128];
        char* p = line;
        p = put(p, use.ru_nvcsw);
        p = put(p, use.ru_nivcsw);
        p = put(p, micros(use.ru_utime));
        p = put(p, micros(use.ru_stime));
        p[-1] = '\n';
        const ssize_t written = write(out, line, std::size_t(p - line));
        (void)written;
    }
    errno = saved;
}

__attribute__((constructor)) void install()
{
    const char* path = std::getenv("TESSALY_BENCH_RUSAGE");
    if (!path || !*path)
        return;
    out = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    // The program's own children are not measured.
    unsetenv("TESSALY_BENCH_RUSAGE");
    unsetenv("LD_PRELOAD");
    if (out < 0)
        return;
    struct sigaction action {};
    action.sa_handler = report;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR2, &action, nullptr);
}

} // namespace
