#pragma once
// A running qdkm-sim, started with the given arguments in the calling process's environment
// (so in its ports folder), whose standard output is read line by line.

#include <string>
#include <vector>

#include "ChildProcess.h"

namespace baslink::sim::test {

class SimulatorProcess {
public:
    // Throws std::runtime_error when the program cannot be started.
    explicit SimulatorProcess(const std::vector<std::string>& arguments);

    // The next line of its output (it names its link first); empty at its end, or when none
    // comes within a few seconds.
    std::string readLine();
    // Sends the signal and returns the exit status (-1 when a signal ended it).
    int stop(int signal);
    // Its exit status once it has ended (-1 when a signal ended it); -2 when it still runs
    // after a few seconds. A program still running is killed when the object goes.
    int waitFor();

private:
    baslink::testing::ChildProcess process_;
};

}  // namespace baslink::sim::test
