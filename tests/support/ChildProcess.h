#pragma once
// A program run by a test, whose standard output is read line by line, each wait bounded by
// a deadline. It is killed if it still runs when the object goes.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace baslink::testing {

class ChildProcess {
public:
    // Starts `program` (looked up in PATH unless it holds a slash) in this process's
    // environment with the `NAME=value` entries of `environment` set over it. With
    // `quiet`, what it writes to its standard error is dropped. Throws std::runtime_error
    // when it cannot be started.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {}, bool quiet = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line it writes, without its end; nothing at the end of its output or when no
    // whole line comes within `limit`.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
    // Its exit status once it has ended, waiting at most `limit`; -1 when a signal ended
    // it; nothing while it still runs.
    std::optional<int> WaitFor(std::chrono::milliseconds limit);
    // Asks it to end (SIGTERM), and kills it when it has not within `limit`.
    void Stop(std::chrono::milliseconds limit);
    // Sends it `signal`, while it runs.
    void Signal(int signal);

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;  // read, not yet handed out as a line
};

}  // namespace baslink::testing
