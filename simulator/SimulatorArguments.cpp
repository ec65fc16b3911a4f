#include "SimulatorArguments.h"

#include <charconv>

namespace baslink::sim {

const char* const kUsage =
    "Usage: qdkm-sim [options]\n"
    "Simulates the communication board, regulators and point modules on a\n"
    "pseudo-terminal linked as a port name in $XDG_CONFIG_HOME/baslink/ports.\n"
    "\n"
    "  --port NAME             port name to link (default com1)\n"
    "  --eeprom FILE           keep the board EEPROM in FILE across runs\n"
    "  --regulator NODE        add a regulator with node 0..1023 (repeatable)\n"
    "  --module ADDR:T1,T2,T3,T4\n"
    "                          add a point module with address 0..255 and\n"
    "                          pair types 0..7 (repeatable)\n"
    "  --line-timing           pace answers at 115200 baud\n"
    "  --help                  show this text\n"
    "\n"
    "Runs until interrupted (SIGINT or SIGTERM), then removes its link. The link\n"
    "leads to the terminal through this process's own descriptor of it, so that\n"
    "it leads nowhere once the process has gone, however it went.\n";

namespace {

unsigned ParseNumber(const std::string& text, unsigned highest, const std::string& what) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value > highest) {
        throw ArgumentError(what + " must be a number from 0 to " + std::to_string(highest) +
                            ", not \"" + text + "\"");
    }
    return value;
}

ModuleArgument ParseModule(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        throw ArgumentError("--module wants ADDR:T1,T2,T3,T4, not \"" + text + "\"");
    }
    ModuleArgument module;
    module.address =
        static_cast<uint8_t>(ParseNumber(text.substr(0, colon), 255, "a module address"));
    std::string types = text.substr(colon + 1);
    for (std::size_t pair = 0; pair < 4; ++pair) {
        const auto comma = types.find(',');
        const bool last = pair == 3;
        if (last != (comma == std::string::npos)) {
            throw ArgumentError("--module wants four pair types, in \"" + text + "\"");
        }
        module.pairTypes[pair] =
            static_cast<uint8_t>(ParseNumber(types.substr(0, comma), 7, "a pair type"));
        types = last ? std::string() : types.substr(comma + 1);
    }
    return module;
}

}  // namespace

SimulatorArguments ParseArguments(const std::vector<std::string>& arguments) {
    SimulatorArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) {
                throw ArgumentError(option + " needs a value");
            }
            return arguments[++i];
        };
        if (option == "--help" || option == "-h") {
            parsed.help = true;
        } else if (option == "--port") {
            parsed.port = value();
            if (parsed.port.empty() || parsed.port == "." || parsed.port == ".." ||
                parsed.port.find('/') != std::string::npos) {
                throw ArgumentError("--port wants a plain port name such as com1");
            }
        } else if (option == "--eeprom") {
            parsed.eepromFile = value();
            if (parsed.eepromFile.empty()) {
                throw ArgumentError("--eeprom wants a file name");
            }
        } else if (option == "--regulator") {
            parsed.regulators.push_back(
                static_cast<uint16_t>(ParseNumber(value(), 1023, "a regulator node")));
        } else if (option == "--module") {
            parsed.modules.push_back(ParseModule(value()));
        } else if (option == "--line-timing") {
            parsed.lineTiming = true;
        } else {
            throw ArgumentError("unknown option \"" + option + "\"");
        }
    }
    return parsed;
}

}  // namespace baslink::sim
