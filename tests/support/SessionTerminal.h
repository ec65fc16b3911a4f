#pragma once
// A pseudo-terminal that is a session's controlling terminal, as a terminal window's shell
// has it: a child made with forkpty waits on it while the object lives.

#include <sys/types.h>

#include <string>

namespace baslink::testing {

class SessionTerminal {
public:
    // Returns once the child's session holds the terminal. Throws std::runtime_error.
    SessionTerminal();
    ~SessionTerminal();
    SessionTerminal(const SessionTerminal&) = delete;
    SessionTerminal& operator=(const SessionTerminal&) = delete;

    const std::string& path() const { return path_; }
    // The other side, as the terminal window holds it.
    int master() const { return master_; }

private:
    // Ends the child's session and lets the terminal go.
    void End();

    pid_t child_ = -1;
    int master_ = -1;
    std::string path_;
};

}  // namespace baslink::testing
