#pragma once

// Readings of a running process from /proc, for the tests and the benchmarks alike.

#include <QtGlobal>

namespace tessaly::test {

// Resident set size of a process in KiB, from /proc; 0 when it is gone.
long ResidentKiB(qint64 pid);
// Processor time the process has used (user and system, all threads), in milliseconds; -1 when
// it is gone.
qint64 CpuMs(qint64 pid);

} // namespace tessaly::test
