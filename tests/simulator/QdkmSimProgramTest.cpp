// qdkm-sim as a program: start, link, answer, stop on a signal, clean up; the
// EEPROM file across runs; bad arguments.

#include <signal.h>

#include <gtest/gtest.h>

#include "LineClient.h"
#include "SimulatorArguments.h"
#include "SimulatorProcess.h"

namespace baslink::sim::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(QdkmSimProgramTest, RunsLinkedUntilSignalledThenRemovesItsLink) {
    for (const int signal : {SIGTERM, SIGINT}) {
        TemporaryConfigHome home;
        const fs::path link = home.Path() / "baslink" / "ports" / "com7";
        SimulatorProcess program({"--port", "com7", "--regulator", "5", "--module", "9:0,0,0,0"});
        const std::string announced = program.readLine();
        EXPECT_NE(announced.find(link.string()), std::string::npos) << announced;
        ASSERT_TRUE(fs::is_symlink(link));
        {
            LineClient line(link);
            EXPECT_EQ(line.exchange(SendFrame({0x07, 0x07, 0x07, 0x07, 0x07}), 8).size(), 8u);
            // The regulator given on the command line answers.
            EXPECT_EQ(line.exchange(WithSum({0x15, 0x05, 0x01, 0x01, 0x00, 0x00}), 4).size(), 4u);
        }
        EXPECT_EQ(program.stop(signal), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

TEST(QdkmSimProgramTest, EepromFileLastsAcrossRuns) {
    TemporaryConfigHome home;
    const fs::path file = home.Path() / "board.eeprom";
    const fs::path link = home.Path() / "baslink" / "ports" / "com1";
    {
        SimulatorProcess program({"--eeprom", file.string()});
        program.readLine();
        LineClient line(link);
        EXPECT_EQ(line.exchange(SendFrame({0x06, 0x02, 0x00, 0x08, 0x02, 0x00, 0x1E}), 8).size(),
                  8u);
        EXPECT_EQ(program.stop(SIGTERM), 0);
    }
    ASSERT_EQ(fs::file_size(file), kEepromSize);
    SimulatedBus bus("com1", {.eepromFile = file});
    EXPECT_EQ(bus.board().eeprom(8, 2), (Bytes{0x00, 0x1E}));
}

TEST(QdkmSimProgramTest, BadArgumentsExitWithStatusTwo) {
    TemporaryConfigHome home;
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                       {"--port"},
                                                                       {"--regulator", "1024"},
                                                                       {"--module", "9:1,2,3"},
                                                                       {"--module", "9:1,2,3,8"},
                                                                       {"--port", "a/b"},
                                                                       {"--port", ".."},
                                                                       {"--eeprom", ""}}) {
        SimulatorProcess program(arguments);
        EXPECT_EQ(program.waitFor(), 2) << arguments[0];
    }
    EXPECT_FALSE(fs::exists(home.Path() / "baslink"));
}

TEST(SimulatorArgumentsTest, ParsesEveryOption) {
    const auto parsed =
        ParseArguments({"--port", "com12", "--eeprom", "/tmp/e.bin", "--regulator", "5",
                        "--regulator", "1023", "--module", "9:1,4,2,3", "--line-timing"});
    EXPECT_EQ(parsed.port, "com12");
    EXPECT_EQ(parsed.eepromFile, "/tmp/e.bin");
    EXPECT_EQ(parsed.regulators, (std::vector<uint16_t>{5, 1023}));
    ASSERT_EQ(parsed.modules.size(), 1u);
    EXPECT_EQ(parsed.modules[0].address, 9);
    EXPECT_EQ(parsed.modules[0].pairTypes, (PairTypes{1, 4, 2, 3}));
    EXPECT_TRUE(parsed.lineTiming);
    EXPECT_FALSE(parsed.help);
    EXPECT_TRUE(ParseArguments({"--help"}).help);
    EXPECT_THROW(ParseArguments({"--regulator", "-1"}), ArgumentError);
    EXPECT_THROW(ParseArguments({"--module", "256:0,0,0,0"}), ArgumentError);
}

}  // namespace
}  // namespace baslink::sim::test
