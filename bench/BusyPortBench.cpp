// What a port whose device cannot be used costs a healthy port of the same process. A host
// thread reads a regulator's word on the healthy port in a loop for a fixed time: alone,
// beside a port whose link leads to nothing, and beside a port whose link leads to a
// pseudo-terminal that another holder has locked. Each of those two ports has a cached
// block and an active point module, so the worker tries it at every turn. Two thousand idle
// processes of the benchmark's own stand for a busy machine. After the benchmarks it prints
// each scenario's reads per second and the whole process's processor use against alone.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

#include "IdleProcesses.h"
#include "LockedTerminal.h"
#include "MachineFacts.h"
#include "SimulatorProcess.h"
#include "TemporaryConfigHome.h"
#include "baslink.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kIdleProcesses = 2000;
constexpr auto kScenarioTime = std::chrono::seconds(5);
constexpr uint8_t kHealthyPort = 1;
constexpr uint8_t kMissingDevicePort = 2;
constexpr uint8_t kBusyDevicePort = 3;
constexpr uint8_t kDirect = 1;
constexpr uint16_t kRegulatorNode = 5;
constexpr uint8_t kModuleAddress = 1;
// What the healthy port must keep of its figures alone.
constexpr double kLeastExchangeRatio = 0.8;
constexpr double kMostProcessorPoints = 10;

enum class Scenario { Alone, MissingDevice, BusyDevice };
constexpr std::array kScenarios{Scenario::Alone, Scenario::MissingDevice, Scenario::BusyDevice};

const char* Name(Scenario scenario) {
    switch (scenario) {
        case Scenario::Alone:
            return "alone";
        case Scenario::MissingDevice:
            return "beside_missing_device";
        case Scenario::BusyDevice:
            return "beside_busy_device";
    }
    return "";
}

std::optional<uint8_t> OtherPort(Scenario scenario) {
    switch (scenario) {
        case Scenario::Alone:
            return std::nullopt;
        case Scenario::MissingDevice:
            return kMissingDevicePort;
        case Scenario::BusyDevice:
            return kBusyDevicePort;
    }
    return std::nullopt;
}

struct Measurement {
    double exchangesPerSecond = 0;
    double processorPercent = 0;  // of one core, all the process's threads
};
std::array<std::optional<Measurement>, kScenarios.size()> results;

// What keeps the worker trying a port at every turn: a cached block and an active point
// module on it. The port's requests are forgotten and the module made inactive when it goes.
class WorkerLoad {
public:
    explicit WorkerLoad(uint8_t port) : port_(port) {
        AnadirLecturaVLX2(port_, 0, kRegulatorNode, 0, 0, 2, kDirect, "load");
        AnadirZOQ(port_, kModuleAddress, 1, 2, 0, 0);
        PonerEstadoZoq(port_, kModuleAddress, 1, 0, 0);
    }
    ~WorkerLoad() {
        PonerEstadoZoq(port_, kModuleAddress, 0, 0, 0);
        QuitarVlx2(port_, 0, 0);
    }
    WorkerLoad(const WorkerLoad&) = delete;
    WorkerLoad& operator=(const WorkerLoad&) = delete;

private:
    uint8_t port_;
};

bool ReadHealthyPort() {
    uint16_t word = 0;
    return LeerWordRegulador(kHealthyPort, kDirect, kRegulatorNode, 0, 0, &word) == 1;
}

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The healthy port's reads for kScenarioTime; nothing when one fails.
std::optional<Measurement> ReadForScenarioTime() {
    const double processorBefore = ProcessorSeconds();
    const auto start = Clock::now();
    long exchanges = 0;
    while (Clock::now() - start < kScenarioTime) {
        if (!ReadHealthyPort()) {
            return std::nullopt;
        }
        ++exchanges;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return Measurement{static_cast<double>(exchanges) / wall,
                       100 * (ProcessorSeconds() - processorBefore) / wall};
}

void Run(benchmark::State& state, Scenario scenario) {
    std::optional<WorkerLoad> load;
    if (const auto port = OtherPort(scenario)) {
        load.emplace(*port);
    }
    for (auto _ : state) {
        const auto measurement = ReadForScenarioTime();
        if (!measurement) {
            state.SkipWithError("a read of the healthy port failed");
            break;
        }
        results[static_cast<std::size_t>(scenario)] = measurement;
        state.counters["exchanges_per_s"] = measurement->exchangesPerSecond;
        state.counters["cpu_percent"] = measurement->processorPercent;
    }
}

void PrintTable(int idleProcesses) {
    std::printf("\nthe healthy port beside another port in use, %d s each, on %d processor(s),\n",
                static_cast<int>(kScenarioTime.count()), baslink::bench::AllowedProcessors());
    std::printf("with %d processes on the machine (%d of them the benchmark's idle children)\n",
                baslink::bench::ProcessesOnMachine(), idleProcesses);
    std::printf("%-22s %12s %7s | %8s %7s\n", "scenario", "exchanges/s", "ratio", "cpu (%)",
                "points");
    const auto& alone = results[static_cast<std::size_t>(Scenario::Alone)];
    for (const Scenario scenario : kScenarios) {
        const auto& result = results[static_cast<std::size_t>(scenario)];
        if (!result) {
            continue;  // filtered out, or failed
        }
        if (alone) {
            std::printf(
                "%-22s %12.1f %7.2f | %8.1f %7.1f\n", Name(scenario), result->exchangesPerSecond,
                result->exchangesPerSecond / alone->exchangesPerSecond, result->processorPercent,
                result->processorPercent - alone->processorPercent);
        } else {
            std::printf("%-22s %12.1f %7s | %8.1f %7s\n", Name(scenario),
                        result->exchangesPerSecond, "-", result->processorPercent, "-");
        }
    }
    std::printf("aims: ratio at least %.2f, points at most %.0f\n", kLeastExchangeRatio,
                kMostProcessorPoints);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    int status = 0;
    try {
        // Forked first, so that they hold nothing the benchmark makes afterwards.
        const baslink::bench::IdleProcesses idle(kIdleProcesses);
        const baslink::testing::TemporaryConfigHome configHome;
        const baslink::bench::SimulatorProcess simulator(
            QDKM_SIM_PROGRAM, "com" + std::to_string(kHealthyPort),
            {"--regulator", std::to_string(kRegulatorNode)});
        const baslink::bench::LockedTerminal lockedTerminal;
        configHome.Link("com" + std::to_string(kMissingDevicePort), configHome.Path() / "none");
        configHome.Link("com" + std::to_string(kBusyDevicePort), lockedTerminal.Path());
        // The first exchange on a port pays the opening pause: not measured.
        if (!ReadHealthyPort()) {
            throw std::runtime_error("the healthy port's regulator does not answer");
        }
        for (const Scenario scenario : kScenarios) {
            benchmark::RegisterBenchmark(Name(scenario),
                                         [=](benchmark::State& state) { Run(state, scenario); })
                ->Iterations(1)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RunSpecifiedBenchmarks();
        PrintTable(idle.Count());
        LibExit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "busy_port_bench: %s\n", error.what());
        status = 1;
    }
    benchmark::Shutdown();
    return status;
}
