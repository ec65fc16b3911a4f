// qdkm-sim: the simulated bus as a program, for the tool and for trying the
// library by hand.

#include <csignal>
#include <iostream>

#include "SimulatedBus.h"
#include "SimulatorArguments.h"

using namespace baslink::sim;

int main(int argc, char** argv) {
    SimulatorArguments arguments;
    try {
        arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ArgumentError& error) {
        std::cerr << "qdkm-sim: " << error.what() << "\nTry 'qdkm-sim --help'.\n";
        return 2;
    }
    if (arguments.help) {
        std::cout << kUsage;
        return 0;
    }

    // Blocked before any thread starts, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        BusOptions options;
        options.timing.enabled = arguments.lineTiming;
        options.eepromFile = arguments.eepromFile;
        SimulatedBus bus(arguments.port, options);
        for (const uint16_t node : arguments.regulators) {
            bus.addRegulator(node);
        }
        for (const ModuleArgument& module : arguments.modules) {
            bus.addPointModule(module.address, module.pairTypes);
        }
        std::cout << "qdkm-sim: " << bus.linkPath().string() << " -> " << bus.devicePath()
                  << std::endl;
        int signal = 0;
        sigwait(&stopSignals, &signal);
        bus.stop();
        std::cout << "qdkm-sim: stopped, " << bus.linkPath().string() << " removed" << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "qdkm-sim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
