#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <functional>

// How long and how big a child process may grow before it is stopped.
struct ChildLimits {
    int seconds = 0;          // of processor time, and of waiting for it
    long long megabytes = 0;  // of address space
};

struct ChildOutcome {
    enum class End { Exited, OutOfTime, Signalled, NotStarted };
    End end = End::NotStarted;
    int code = 0;  // the exit status, the signal, or the errno of a failed start
    // What the child wrote to its error output; of a long one, its beginning and its end.
    QByteArray errors;
};

// Runs work() in a child process under the limits and returns how it ended: its exit status is
// what work() returns. A watchdog stops a child that outlives the time (the processor limit
// alone misses a child that waits); the address space limit makes its allocations fail. While
// the child runs, running holds its process id (for a signal handler that ends both).
ChildOutcome runLimited(const std::function<int()>& work, const ChildLimits& limits,
                        volatile pid_t& running);
