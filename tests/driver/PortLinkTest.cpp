// A port opened through a link of the ports folder, on the static core: when its device
// and link go away (as a simulator's do when it is stopped) and come back, under another
// case of the name, or when a killed simulator leaves its link behind.

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "DeviceLock.h"
#include "DriverObjectsTest.h"
#include "LinkHandling.h"
#include "PortNames.h"
#include "PseudoTerminal.h"
#include "SessionTerminal.h"
#include "SimulatedBus.h"
#include "SimulatorProcess.h"
#include "Timing.h"
#include "WorkerSteps.h"
#include "baslink.h"

namespace {

namespace fs = std::filesystem;
using baslink::sim::Bytes;
using baslink::sim::PseudoTerminal;
using baslink::sim::SimulatedBus;
using baslink::sim::test::SimulatorProcess;
using baslink::testing::ChangeTimeOf;
using baslink::testing::Eventually;
using baslink::testing::Shifted;
using baslink::testing::Stamp;
using std::chrono::milliseconds;

constexpr uint8_t kDirect = 1;

// The devices whose path starts with `prefix` that this process holds open.
std::vector<std::string> DevicesHeld(const std::string& prefix) {
    std::vector<std::string> held;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (target.starts_with(prefix)) {
            held.push_back(target);
        }
    }
    return held;
}

class PortLink : public DriverObjectsTest {};

TEST_F(PortLink, APortOpenedThroughALinkWaitsForItInsteadOfTheMachinesOwnDevice) {
    RecordMessages();
    uint8_t data[2] = {};
    {
        SimulatedBus first("com1");
        ASSERT_EQ(LeerBloqueEpromQDK(1, 0, 2, data), 1);
    }  // the link goes with the simulator

    // Without its link, com1 would name /dev/ttyS0; the port fails instead, and says so.
    EXPECT_TRUE(Eventually(
        [&] {
            EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 2, data), 0);
            return !messages.empty();
        },
        milliseconds(3000)));
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com1"});
    EXPECT_EQ(DevicesHeld("/dev/ttyS"), std::vector<std::string>{});

    SimulatedBus second("com1");
    second.board().setEeprom(0, {7, 8});
    EXPECT_TRUE(
        Eventually([&] { return LeerBloqueEpromQDK(1, 0, 2, data) == 1; }, milliseconds(3000)));
    EXPECT_EQ(Bytes(data, data + 2), (Bytes{7, 8}));
}

TEST_F(PortLink, ALinkBackUnderAnotherCaseOfTheNameIsFound) {
    uint8_t data[2] = {};
    {
        SimulatedBus first("COM3");
        ASSERT_EQ(LeerBloqueEpromQDK(3, 0, 2, data), 1);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(LeerBloqueEpromQDK(3, 0, 2, data), 0);
    testing::internal::GetCapturedStderr();

    SimulatedBus second("com3");
    second.board().setEeprom(0, {7, 8});
    EXPECT_EQ(LeerBloqueEpromQDK(3, 0, 2, data), 1);
    EXPECT_EQ(Bytes(data, data + 2), (Bytes{7, 8}));
}

int TerminalNumber(const std::string& device) {
    return std::stoi(device.substr(device.rfind('/') + 1));
}

// A pseudo-terminal of the number of `device`, which is free: new terminals take the lowest
// free number, so those made on the way are let go once it is reached. None when a number
// above it comes first: another program has taken it.
std::unique_ptr<PseudoTerminal> TakeTheNumberOf(const std::string& device) {
    std::vector<std::unique_ptr<PseudoTerminal>> lower;
    for (;;) {
        auto made = std::make_unique<PseudoTerminal>();
        const int number = TerminalNumber(made->slavePath());
        if (number == TerminalNumber(device)) {
            return made;
        }
        if (number > TerminalNumber(device)) {
            return nullptr;
        }
        lower.push_back(std::move(made));
    }
}

// Nothing was written to the terminal, and nobody holds it.
void ExpectUntouched(const PseudoTerminal& terminal) {
    char byte = 0;
    const ssize_t got = read(terminal.master(), &byte, 1);
    const int error = errno;
    EXPECT_EQ(got, -1) << "bytes reached " << terminal.slavePath();
    EXPECT_EQ(error, EAGAIN);
    EXPECT_TRUE(DeviceIsFree(terminal.slavePath()));
}

// Runs a simulator on com1, used by a host call, a cache block and a queued write, and kills it
// outright: its link is left behind, to a terminal that hung up and that the port has let go,
// whose number the next pseudo-terminal made on the machine takes. The terminal's path.
std::string KillASimulatorInUse() {
    const fs::path link = baslink::platform::PortLinkFolder() + "/com1";
    SimulatorProcess killed({"--port", "com1", "--regulator", "5"});
    killed.readLine();
    const std::string device = fs::read_symlink(link).string();
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 1);
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);
    EscribirVLX2_Byte(1, 0, 5, 0, 0, 1);
    killed.stop(SIGKILL);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(Eventually(
        [&] {
            baslink::ReadNextBlock(1);
            return DevicesHeld(device).empty();
        },
        milliseconds(3000)));
    return device;
}

// A host call and the worker's steps on com1 leave the terminal alone, and the host hears once
// that the port cannot be opened.
void ExpectCom1NeverReaches(const PseudoTerminal& terminal,
                            const std::vector<std::string>& messages) {
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 0);
    baslink::SendPendingWrites();
    baslink::ReadNextBlock(1);
    ExpectUntouched(terminal);
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com1"});
}

TEST_F(PortLink, ALinkLeftByAKilledSimulatorNeverLeadsIntoTheTerminalThatTakesItsNumber) {
    RecordMessages();
    const auto intruder = TakeTheNumberOf(KillASimulatorInUse());
    if (!intruder) {
        GTEST_SKIP() << "a program running beside the test took the killed simulator's terminal";
    }
    ExpectCom1NeverReaches(*intruder, messages);

    // A simulator started again makes its link anew, and the port takes it by itself.
    SimulatorProcess restarted({"--port", "com1", "--regulator", "5"});
    restarted.readLine();
    EXPECT_TRUE(Eventually(
        [] {
            baslink::ReadNextBlock(1);
            return CogerEstadoVLX2(1, 5) == 1;
        },
        milliseconds(3000)));
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 1);
}

}  // namespace

namespace baslink::testing {
void PrintTo(const LinkHandling& handling, std::ostream* out) {
    *out << handling.name;
}
}  // namespace baslink::testing

namespace {

// Renaming a link, giving it another owner or copying it back with its times does not write it
// anew: it still leads to a terminal that is not the port's.
class LeftLink : public PortLink,
                 public ::testing::WithParamInterface<baslink::testing::LinkHandling> {};

TEST_P(LeftLink, HandledByOrdinaryToolsItStillNeverLeadsARunningHostIntoAnotherTerminal) {
    RecordMessages();
    const std::string device = KillASimulatorInUse();
    GetParam().apply(ConfigHome().PortsFolder() / "com1");
    const auto intruder = TakeTheNumberOf(device);
    if (!intruder) {
        GTEST_SKIP() << "a program running beside the test took " << device;
    }
    ExpectCom1NeverReaches(*intruder, messages);
}

// As a program finds it that starts after a simulator was killed: a link written 3 s before
// the terminal that took the number, then handled.
TEST_P(LeftLink, HandledByOrdinaryToolsALinkWrittenBeforeItsTerminalIsNeverOpened) {
    RecordMessages();
    std::string device;
    {
        const PseudoTerminal gone;
        device = gone.slavePath();
        ConfigHome().Link("com1", device);
    }
    const auto intruder = TakeTheNumberOf(device);
    if (!intruder) {
        GTEST_SKIP() << "a program running beside the test took " << device;
    }
    const fs::path link = ConfigHome().PortsFolder() / "com1";
    Stamp(link, Shifted(ChangeTimeOf(device), -3000));
    GetParam().apply(link);
    ExpectCom1NeverReaches(*intruder, messages);
}

INSTANTIATE_TEST_SUITE_P(OrdinaryTools, LeftLink,
                         ::testing::ValuesIn(baslink::testing::kOrdinaryLinkHandlings),
                         [](const auto& info) { return std::string(info.param.tag); });

// A link is written after its terminal, but its times may stand a little before the
// terminal's: on a folder that keeps whole seconds, or whose clock runs behind; and a
// terminal's mode or owner may change after its link was written.
TEST_F(PortLink, ALinkWrittenAfterItsTerminalOpensWhateverTheTimesSay) {
    struct Row {
        const char* name;
        uint8_t port;
        baslink::testing::LinkTimes times;
    };
    const Row rows[] = {
        {"a folder that keeps whole seconds", 1, {0, true, 0}},
        {"a folder whose clock runs 1.5 s behind", 2, {-1500, false, 0}},
        {"the terminal given to everyone 4 s after it was made", 3, {100, false, 4000}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SimulatedBus bus("com" + std::to_string(row.port));
        bus.addRegulator(5).setMemory(0, 0, {0x34, 0x12});
        baslink::testing::SetTimes(bus.linkPath(), bus.devicePath(), row.times);
        uint16_t word = 0;
        EXPECT_EQ(LeerWordRegulador(row.port, kDirect, 5, 0, 0, &word), 1);
        EXPECT_EQ(word, 0x1234);
    }
}

// A link that leads to a person's terminal (a number typed wrong, or taken by a new terminal
// window) never gets the port's frames, nor its lock or line settings.
TEST_F(PortLink, ASessionsTerminalIsNeverOpened) {
    const baslink::testing::SessionTerminal session;
    RecordMessages();
    termios before{};
    ASSERT_EQ(tcgetattr(session.master(), &before), 0);
    ConfigHome().Link("com4", session.path());
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(4, kDirect, 5, 0, 0, &word), 0);
    EXPECT_EQ(LeerWordRegulador(4, kDirect, 5, 0, 0, &word), 0);
    EXPECT_EQ(DevicesHeld(session.path()), std::vector<std::string>{});
    termios after{};
    ASSERT_EQ(tcgetattr(session.master(), &after), 0);
    EXPECT_EQ(
        std::tuple(after.c_iflag, after.c_oflag, after.c_cflag, after.c_lflag, cfgetospeed(&after)),
        std::tuple(before.c_iflag, before.c_oflag, before.c_cflag, before.c_lflag,
                   cfgetospeed(&before)));
    pollfd written{session.master(), POLLIN, 0};
    EXPECT_EQ(poll(&written, 1, 0), 0) << "bytes reached " << session.path();
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com4"});
}

}  // namespace
