#pragma once
// qdkm-sim as a child process on a port name of the benchmark's own ports folder.

#include <sys/types.h>
#include <string>

namespace baslink::bench {

class SimulatorProcess {
public:
    // Starts qdkm-sim on `portName` (with --line-timing when asked) and waits for its link.
    // Throws std::runtime_error when it does not come up.
    SimulatorProcess(const std::string& program, const std::string& portName, bool lineTiming);
    ~SimulatorProcess();  // stops it
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // The pseudo-terminal the port name leads to.
    const std::string& DevicePath() const { return devicePath_; }

private:
    pid_t pid_ = -1;
    std::string devicePath_;
};

}  // namespace baslink::bench
