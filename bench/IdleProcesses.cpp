#include "IdleProcesses.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace baslink::bench {
namespace {

// Runs in a child of a process with threads: only calls that are safe after fork.
[[noreturn]] void StayIdle(pid_t parent) {
    // The signal comes when the forking thread ends; the benchmark forks from its main
    // thread, which lives as long as the benchmark.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(0);  // the benchmark ended before the line above
    }
    // A child holding the benchmark's terminals or pipes would keep them open.
    close_range(0, ~0U, 0);
    for (;;) {
        pause();
    }
}

}  // namespace

IdleProcesses::IdleProcesses(int count) {
    const pid_t self = getpid();
    children_.reserve(static_cast<std::size_t>(count));
    for (int made = 0; made < count; ++made) {
        const pid_t child = fork();
        if (child == 0) {
            StayIdle(self);
        }
        if (child < 0) {
            const int error = errno;
            Reap();
            throw std::system_error(error, std::generic_category(), "cannot fork an idle process");
        }
        children_.push_back(child);
    }
}

IdleProcesses::~IdleProcesses() {
    Reap();
}

void IdleProcesses::Reap() {
    for (const pid_t child : children_) {
        kill(child, SIGKILL);
    }
    for (const pid_t child : children_) {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    children_.clear();
}

}  // namespace baslink::bench
