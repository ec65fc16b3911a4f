// A port opened through a link of the ports folder, on the static core: when its device
// and link go away (as a simulator's do when it is stopped) and come back, under another
// case of the name, or when a killed simulator leaves its link behind.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DeviceLock.h"
#include "DriverObjectsTest.h"
#include "PortNames.h"
#include "PseudoTerminal.h"
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
using baslink::testing::Eventually;
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

// A simulator killed outright leaves its link to a terminal that hung up, whose number the
// next pseudo-terminal made on the machine takes.
TEST_F(PortLink, ALinkLeftByAKilledSimulatorNeverLeadsIntoTheTerminalThatTakesItsNumber) {
    RecordMessages();
    const fs::path link = baslink::platform::PortLinkFolder() + "/com1";
    auto killed = std::make_unique<SimulatorProcess>(
        std::vector<std::string>{"--port", "com1", "--regulator", "5"});
    killed->readLine();
    const std::string device = fs::read_symlink(link).string();
    uint16_t word = 0;
    ASSERT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 1);
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);
    EscribirVLX2_Byte(1, 0, 5, 0, 0, 1);
    killed->stop(SIGKILL);
    killed.reset();
    ASSERT_TRUE(fs::is_symlink(link));
    // Once the port has let the terminal go, its number is free.
    ASSERT_TRUE(Eventually(
        [&] {
            baslink::ReadNextBlock(1);
            return DevicesHeld(device).empty();
        },
        milliseconds(3000)));

    const auto intruder = TakeTheNumberOf(device);
    if (!intruder) {
        GTEST_SKIP() << "a program running beside the test took " << device;
    }
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 0);
    baslink::SendPendingWrites();
    baslink::ReadNextBlock(1);
    ExpectUntouched(*intruder);
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com1"});

    // A simulator started again makes its link anew, and the port takes it by itself.
    SimulatorProcess restarted({"--port", "com1", "--regulator", "5"});
    restarted.readLine();
    EXPECT_TRUE(Eventually(
        [] {
            baslink::ReadNextBlock(1);
            return CogerEstadoVLX2(1, 5) == 1;
        },
        milliseconds(3000)));
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 1);
}

// As a program finds it that starts after a simulator was killed: the link is older than the
// terminal that took the number.
TEST_F(PortLink, ALinkMadeBeforeThePseudoTerminalItLeadsToIsNeverOpened) {
    RecordMessages();
    std::string device;
    {
        const PseudoTerminal gone;
        device = gone.slavePath();
        ConfigHome().Link("com2", device);
        ASSERT_TRUE(ConfigHome().WaitUntilNewerThan(ConfigHome().PortsFolder() / "com2"));
    }
    const auto intruder = TakeTheNumberOf(device);
    if (!intruder) {
        GTEST_SKIP() << "a program running beside the test took " << device;
    }
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(2, kDirect, 5, 0, 0, &word), 0);
    ExpectUntouched(*intruder);
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com2"});
}

}  // namespace
