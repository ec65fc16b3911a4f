// A port opened through a link of the ports folder, on the static core: when its device
// and link go away (as a simulator's do when it is stopped) and come back.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "DriverObjectsTest.h"
#include "SimulatedBus.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using baslink::sim::Bytes;
using baslink::sim::SimulatedBus;
using baslink::testing::Eventually;
using std::chrono::milliseconds;

// The machine's own serial devices this process holds open.
std::vector<std::string> MachineSerialDevicesHeld() {
    std::vector<std::string> held;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.starts_with("/dev/ttyS")) {
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
    EXPECT_EQ(MachineSerialDevicesHeld(), std::vector<std::string>{});

    SimulatedBus second("com1");
    second.board().setEeprom(0, {7, 8});
    EXPECT_TRUE(
        Eventually([&] { return LeerBloqueEpromQDK(1, 0, 2, data) == 1; }, milliseconds(3000)));
    EXPECT_EQ(Bytes(data, data + 2), (Bytes{7, 8}));
}

}  // namespace
