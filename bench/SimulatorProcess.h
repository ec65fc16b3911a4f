#pragma once
// qdkm-sim as a child process on a port name of the benchmark's own ports folder.

#include <sys/types.h>
#include <string>
#include <vector>

namespace baslink::bench {

class SimulatorProcess {
public:
    // Starts qdkm-sim on `portName` with the further `options` (such as --line-timing or
    // --regulator 5) and waits for its link. Throws std::runtime_error when it does not
    // come up.
    SimulatorProcess(const std::string& program, const std::string& portName,
                     const std::vector<std::string>& options = {});
    ~SimulatorProcess();  // stops it
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // The pseudo-terminal the port name leads to, at the end of its link (which may pass
    // through the simulator's own descriptor of it).
    const std::string& DevicePath() const { return devicePath_; }

private:
    pid_t pid_ = -1;
    std::string devicePath_;
};

}  // namespace baslink::bench
