// The library's board EEPROM record read and write against the simulated board, beside a
// raw client doing the same frames with select(), at pseudo-terminal speed and with the
// simulator pacing its answers at 115200 baud. Each side talks to a simulator of its own
// (the library holds its device exclusively). After the benchmarks it prints the ratios
// the exchange path is held to.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MachineFacts.h"
#include "RawBoardClient.h"
#include "SimulatorProcess.h"
#include "TemporaryConfigHome.h"
#include "baslink.h"

namespace {

using baslink::bench::RawBoardClient;
using baslink::bench::SimulatorProcess;

constexpr uint8_t kRecordSize = 11;  // one exchange-table record
constexpr uint16_t kRecordAddress = 10;
constexpr double kSlowMs = 0.9;

enum class Side { Library, Raw };
enum class Operation { Read, Write };
enum class Line { Pty, Timed };

// The ports of the run: one simulator per side and line.
struct Setup {
    std::unique_ptr<SimulatorProcess> simulators[2][2];  // [line][side]
    std::unique_ptr<RawBoardClient> raw[2];              // [line]
};
Setup* setup = nullptr;

uint8_t LibraryPort(Line line) {
    return line == Line::Pty ? 1 : 2;
}

// CPU seconds of what does the work: the whole process for the library (its calling thread,
// the port's reader and the worker), the calling thread alone for the raw client.
double CpuSeconds(Side side) {
    timespec now{};
    if (side == Side::Raw) {
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    } else {
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    }
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Samples {
    std::vector<double> ms;  // wall time of each exchange
    double cpuSeconds = 0;
};
std::map<std::string, Samples> results;

std::string Key(Side side, Operation operation, Line line) {
    return std::string(side == Side::Library ? "library" : "raw") + "/" +
           (operation == Operation::Read ? "read" : "write") + "/" +
           (line == Line::Pty ? "pty" : "115200");
}

bool OneExchange(Side side, Operation operation, Line line) {
    static std::array<uint8_t, kRecordSize> record{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const auto index = static_cast<int>(line);
    if (side == Side::Library) {
        return operation == Operation::Read
                   ? LeerBloqueEpromQDK(LibraryPort(line), kRecordAddress, kRecordSize,
                                        record.data()) == 1
                   : EscribirBloqueEpromQDK(LibraryPort(line), kRecordAddress, kRecordSize,
                                            record.data()) == 1;
    }
    RawBoardClient& raw = *setup->raw[index];
    return operation == Operation::Read
               ? raw.ReadRecord(kRecordAddress, kRecordSize, record.data())
               : raw.WriteRecord(kRecordAddress, kRecordSize, record.data());
}

void Exchange(benchmark::State& state, Side side, Operation operation, Line line) {
    Samples& samples = results[Key(side, operation, line)];
    const double cpuBefore = CpuSeconds(side);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = OneExchange(side, operation, line);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            state.SkipWithError("an exchange failed");
            break;
        }
        state.SetIterationTime(took.count());
        samples.ms.push_back(took.count() * 1000);
    }
    samples.cpuSeconds += CpuSeconds(side) - cpuBefore;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double SlowShare(const std::vector<double>& values) {
    const auto slow =
        std::count_if(values.begin(), values.end(), [](double ms) { return ms > kSlowMs; });
    return values.empty() ? 0
                          : 100.0 * static_cast<double>(slow) / static_cast<double>(values.size());
}

double CpuMicrosecondsPerExchange(const Samples& samples) {
    return samples.ms.empty() ? 0
                              : samples.cpuSeconds * 1e6 / static_cast<double>(samples.ms.size());
}

void PrintRatios() {
    std::printf("\nlibrary against the raw client, on %d processor(s)\n",
                baslink::bench::AllowedProcessors());
    std::printf("%-16s %9s %9s %7s | %8s %8s %6s | %8s %8s %6s\n", "exchange", "lib med", "raw med",
                "ratio", "lib>0.9", "raw>0.9", "points", "lib cpu", "raw cpu", "ratio");
    std::printf("%-16s %9s %9s %7s | %8s %8s %6s | %8s %8s %6s\n", "", "(ms)", "(ms)", "", "(%)",
                "(%)", "", "(us)", "(us)", "");
    for (const Line line : {Line::Pty, Line::Timed}) {
        for (const Operation operation : {Operation::Read, Operation::Write}) {
            const Samples& library = results[Key(Side::Library, operation, line)];
            const Samples& raw = results[Key(Side::Raw, operation, line)];
            const double libraryMedian = Median(library.ms);
            const double rawMedian = Median(raw.ms);
            const double libraryCpu = CpuMicrosecondsPerExchange(library);
            const double rawCpu = CpuMicrosecondsPerExchange(raw);
            std::printf("%-16s %9.3f %9.3f %7.2f | %8.2f %8.2f %6.2f | %8.1f %8.1f %6.2f\n",
                        Key(Side::Library, operation, line).substr(8).c_str(), libraryMedian,
                        rawMedian, libraryMedian / rawMedian, SlowShare(library.ms),
                        SlowShare(raw.ms), SlowShare(library.ms) - SlowShare(raw.ms), libraryCpu,
                        rawCpu, libraryCpu / rawCpu);
        }
    }
}

void Register(Side side, Operation operation, Line line) {
    const int iterations = line == Line::Pty ? 4000 : 300;
    benchmark::RegisterBenchmark(
        Key(side, operation, line).c_str(),
        [=](benchmark::State& state) { Exchange(state, side, operation, line); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(iterations)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    int status = 0;
    try {
        // The library and the simulators meet in a ports folder of the run's own.
        const baslink::testing::TemporaryConfigHome configHome;
        Setup run;
        setup = &run;
        for (const Line line : {Line::Pty, Line::Timed}) {
            const auto index = static_cast<int>(line);
            std::vector<std::string> options;
            if (line == Line::Timed) {
                options.emplace_back("--line-timing");
            }
            run.simulators[index][0] = std::make_unique<SimulatorProcess>(
                QDKM_SIM_PROGRAM, "com" + std::to_string(LibraryPort(line)), options);
            run.simulators[index][1] = std::make_unique<SimulatorProcess>(
                QDKM_SIM_PROGRAM, "com" + std::to_string(LibraryPort(line) + 10), options);
            run.raw[index] =
                std::make_unique<RawBoardClient>(run.simulators[index][1]->DevicePath());
            // The first exchange on a port pays the opening pause: not measured.
            uint8_t warm[kRecordSize];
            LeerBloqueEpromQDK(LibraryPort(line), kRecordAddress, kRecordSize, warm);
        }
        for (const Line line : {Line::Pty, Line::Timed}) {
            for (const Operation operation : {Operation::Read, Operation::Write}) {
                Register(Side::Raw, operation, line);
                Register(Side::Library, operation, line);
            }
        }
        benchmark::RunSpecifiedBenchmarks();
        PrintRatios();
        LibExit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "exchange_bench: %s\n", error.what());
        status = 1;
    }
    benchmark::Shutdown();
    return status;
}
