#ifndef KESTREL_BENCH_BENCHSTORAGEMAIN_H
#define KESTREL_BENCH_BENCHSTORAGEMAIN_H

#include <QString>
#include <functional>

// The main of a benchmark that saves and loads accounts: a temporary data directory as
// XDG_DATA_HOME, so the user's data is never touched, the application object, log lines discarded
// (their formatting still runs), then the benchmarks the command line selects. `prepare` runs
// before them with the temporary directory, `finish` after them. Returns the exit status.
int runStorageBenchmarks(int argc, char **argv, const std::function<void(const QString &)> &prepare,
                         const std::function<void()> &finish = {});

#endif // KESTREL_BENCH_BENCHSTORAGEMAIN_H
