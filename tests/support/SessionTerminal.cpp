#include "SessionTerminal.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace baslink::testing {
namespace {

constexpr int kStartLimitMs = 5000;

}  // namespace

SessionTerminal::SessionTerminal() {
    char name[128] = {};
    child_ = forkpty(&master_, name, nullptr, nullptr);
    if (child_ < 0) {
        throw std::runtime_error("cannot make a session on a pseudo-terminal");
    }
    if (child_ == 0) {
        // The session leader, with the terminal as its own: it says so, then waits.
        (void)write(STDOUT_FILENO, "+", 1);
        for (;;) {
            pause();
        }
    }
    path_ = name;
    pollfd ready{master_, POLLIN, 0};
    char said = 0;
    if (poll(&ready, 1, kStartLimitMs) != 1 || read(master_, &said, 1) != 1 || said != '+') {
        End();
        throw std::runtime_error("the session on " + path_ + " did not start");
    }
}

SessionTerminal::~SessionTerminal() {
    End();
}

void SessionTerminal::End() {
    if (child_ > 0) {
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
        child_ = -1;
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

}  // namespace baslink::testing
