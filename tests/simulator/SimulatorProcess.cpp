#include "SimulatorProcess.h"

#include <chrono>

namespace baslink::sim::test {
namespace {

constexpr std::chrono::seconds kLimit{10};

}  // namespace

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& arguments)
    : process_(QDKM_SIM_PATH, arguments) {}

std::string SimulatorProcess::readLine() {
    return process_.ReadLine(kLimit).value_or(std::string());
}

int SimulatorProcess::stop(int signal) {
    process_.Signal(signal);
    return waitFor();
}

int SimulatorProcess::waitFor() {
    return process_.WaitFor(kLimit).value_or(-2);
}

}  // namespace baslink::sim::test
