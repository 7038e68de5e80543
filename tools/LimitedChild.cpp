#include "tools/LimitedChild.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>

namespace {

// Of an endless error output only this much of its beginning and of its end is kept.
constexpr int KeptBytes = 8192;

void limit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit value{soft, hard};
    ::setrlimit(resource, &value);
}

}  // namespace

ChildOutcome runLimited(const std::function<int()>& work, const ChildLimits& limits,
                        volatile pid_t& running) {
    ChildOutcome outcome;
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        outcome.code = errno;
        return outcome;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        outcome.code = errno;
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        return outcome;
    }
    if (child == 0) {
        ::dup2(errorPipe[1], STDERR_FILENO);
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        // Past the soft limit comes SIGXCPU, a second later SIGKILL.
        limit(RLIMIT_CPU, rlim_t(limits.seconds), rlim_t(limits.seconds) + 1);
        const rlim_t bytes = rlim_t(limits.megabytes) << 20;
        limit(RLIMIT_AS, bytes, bytes);
        const int status = work();
        std::fflush(nullptr);
        ::_exit(status);
    }
    running = child;
    ::close(errorPipe[1]);

    // The child's error output is read as it comes, so a child that writes without end neither
    // blocks on a full pipe nor fills the memory of this process.
    QByteArray head, tail;
    bool cut = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds);
    bool outOfTime = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            outOfTime = true;
            break;
        }
        pollfd fd{errorPipe[0], POLLIN, 0};
        const int ready = ::poll(&fd, 1, int(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(errorPipe[0], buffer, sizeof buffer);
        if (got == 0)
            break;  // the child has ended
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            break;
        }
        if (head.size() < KeptBytes) {
            head.append(buffer, got);
        } else {
            tail.append(buffer, got);
            if (tail.size() > KeptBytes) {
                tail.remove(0, tail.size() - KeptBytes);
                cut = true;
            }
        }
    }
    ::close(errorPipe[0]);
    // The end of its error output is the end of the child but for one that closed it itself.
    int status = 0;
    for (int pause = 1; !outOfTime && ::waitpid(child, &status, WNOHANG) == 0;
         pause = std::min(2 * pause, 50)) {
        if (std::chrono::steady_clock::now() >= deadline)
            outOfTime = true;
        else
            ::usleep(useconds_t(pause) * 1000);
    }
    if (outOfTime) {
        ::kill(child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    running = 0;

    outcome.errors = cut ? head + "\n…\n" + tail : head + tail;
    if (outOfTime || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
        outcome.end = ChildOutcome::End::OutOfTime;
    } else if (WIFSIGNALED(status)) {
        outcome.end = ChildOutcome::End::Signalled;
        outcome.code = WTERMSIG(status);
    } else {
        outcome.end = ChildOutcome::End::Exited;
        outcome.code = WEXITSTATUS(status);
    }
    return outcome;
}
