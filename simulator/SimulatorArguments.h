#pragma once
// The command line of qdkm-sim.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "SimulatedBus.h"

namespace baslink::sim {

struct ModuleArgument {
    uint8_t address = 0;
    PairTypes pairTypes{};
};

struct SimulatorArguments {
    bool help = false;
    std::string port = "com1";
    std::filesystem::path eepromFile;
    std::vector<uint16_t> regulators;
    std::vector<ModuleArgument> modules;
    bool lineTiming = false;
};

struct ArgumentError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

SimulatorArguments ParseArguments(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace baslink::sim
