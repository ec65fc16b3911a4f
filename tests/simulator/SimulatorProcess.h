#pragma once
// A running qdkm-sim, started with the given arguments in the calling process's environment
// (so in its ports folder), whose standard output is read line by line.

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

namespace baslink::sim::test {

class SimulatorProcess {
public:
    // Throws std::runtime_error when the program cannot be started.
    explicit SimulatorProcess(std::vector<std::string> arguments);
    // Kills a program still running.
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // The next line of its output (it names its link first); empty at its end.
    std::string readLine();
    // Sends the signal and returns the exit status (-1 when a signal ended it).
    int stop(int signal);
    int waitFor();

private:
    pid_t pid_ = -1;
    FILE* output_ = nullptr;
};

}  // namespace baslink::sim::test
