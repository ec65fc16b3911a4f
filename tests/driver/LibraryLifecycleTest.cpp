// The library's frame through libbaslink.so: its version, the lazy opening of the
// ports, a port that cannot be opened, and the stop.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

#include "DeviceLock.h"
#include "PortsFolderTest.h"
#include "SimulatedBus.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using baslink::sim::SimulatedBus;
using baslink::testing::Eventually;
using baslink::testing::TimeOf;
using std::chrono::milliseconds;

class LibraryLifecycleTest : public PortsFolderTest {};

TEST(LibraryVersion, IsOneStaticText) {
    const char* first = VersionDLL();
    EXPECT_STREQ(first, "1.39");
    EXPECT_EQ(VersionDLL(), first);
}

TEST_F(LibraryLifecycleTest, FirstExchangeOnAPortPaysTheOpeningPause) {
    SimulatedBus bus("com4");
    uint8_t byte = 0;
    const auto first = TimeOf([&] { ASSERT_EQ(LeerBloqueEpromQDK(4, 0, 1, &byte), 1); });
    const auto second = TimeOf([&] { ASSERT_EQ(LeerBloqueEpromQDK(4, 0, 1, &byte), 1); });
    EXPECT_GE(first, milliseconds(500));
    EXPECT_GE(first - second, milliseconds(400));
}

TEST_F(LibraryLifecycleTest, PortSevenOpensCom7At115200EightNoneOne) {
    SimulatedBus bus("com7");
    ResetQDK(7);
    ASSERT_EQ(bus.board().resetCount(), 1u);  // the frame went out through com7

    // The library holds the device; its line settings are readable through a second
    // descriptor only where the terminal's exclusive mode lets us open one.
    const int fd = open(bus.devicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        GTEST_SKIP() << "the device cannot be opened a second time: " << std::strerror(errno);
    }
    termios line{};
    ASSERT_EQ(tcgetattr(fd, &line), 0);
    close(fd);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(cfgetispeed(&line), B115200);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & PARENB, 0u);
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
}

TEST_F(LibraryLifecycleTest, PortThatCannotBeOpenedSaysSoOncePerStreakAndIsTriedAgainLater) {
    const std::string message = "DLL AbrirPuerto: Imposible Abrir Puerto com3\n";
    uint8_t data = 0x42;

    LinkToNothing("com3");
    testing::internal::CaptureStderr();
    EXPECT_EQ(EscribirBloqueEpromQDK(3, 0, 1, &data), 0);
    // Until the next try is due the calls fail at once, with no opening pause.
    EXPECT_LT(TimeOf([&] {
                  ResetQDK(3);
                  EXPECT_EQ(LeerBloqueEpromQDK(3, 0, 1, &data), 0);
              }),
              milliseconds(250));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), message);

    {
        // Still alive; once the device exists the same port works.
        SimulatedBus bus("com3");
        EXPECT_TRUE(
            Eventually([&] { return EscribirBloqueEpromQDK(3, 0, 1, &data) == 1; }, milliseconds(3000)));
        EXPECT_EQ(bus.board().eeprom(0, 1), baslink::sim::Bytes{0x42});
    }
    // The device went away after the port had opened: a new streak, a new message.
    LinkToNothing("com3");
    testing::internal::CaptureStderr();
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(EscribirBloqueEpromQDK(3, 0, 1, &data), 0);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
}

TEST_F(LibraryLifecycleTest, APortComesBackWhenItsDeviceDoes) {
    uint8_t data[2] = {0x12, 0x34};
    {
        SimulatedBus first("com1");
        ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 2, data), 1);
    }  // the simulator goes away with its pseudo-terminal and its link
    LinkToNothing("com1");
    testing::internal::CaptureStderr();
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 0, 2, data), 0);
    testing::internal::GetCapturedStderr();

    SimulatedBus second("com1");
    EXPECT_TRUE(
        Eventually([&] { return EscribirBloqueEpromQDK(1, 10, 2, data) == 1; }, milliseconds(3000)));
    for (uint16_t address = 11; address < 13; ++address) {
        EXPECT_EQ(EscribirBloqueEpromQDK(1, address, 2, data), 1) << "address " << address;
    }
    EXPECT_EQ(second.board().eeprom(12, 2), (baslink::sim::Bytes{0x12, 0x34}));
}

TEST_F(LibraryLifecycleTest, AfterLibExitTheExportsRefuseAndThePortsAreReleased) {
    SimulatedBus bus("com1");
    uint8_t data[2] = {1, 2};
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 2, data), 1);
    ASSERT_FALSE(DeviceIsFree(bus.devicePath()));

    LibExit();
    LibExit();  // a second stop does nothing
    EXPECT_TRUE(Eventually([&] { return DeviceIsFree(bus.devicePath()); }, milliseconds(3000)));

    bus.clearFrames();
    uint8_t destination[2] = {0xEE, 0xEE};
    // Port 2 was never opened: opening it would cost the 500 ms pause.
    const auto elapsed = TimeOf([&] {
        EXPECT_EQ(EscribirBloqueEpromQDK(2, 0, 2, data), 0);
        EXPECT_EQ(LeerBloqueEpromQDK(2, 0, 2, destination), 0);
        ResetQDK(2);
        EXPECT_EQ(EscribirBloqueEpromQDK(1, 0, 2, data), 0);
        EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 2, destination), 0);
        ResetQDK(1);
        EXPECT_EQ(FalloQDK(1), 0);
    });
    EXPECT_LT(elapsed, milliseconds(400));
    EXPECT_EQ(destination[0], 0xEE);
    EXPECT_EQ(bus.receivedCount(), 0u);
}

TEST_F(LibraryLifecycleTest, FailureStateIsFalseForEveryPortAfterLoad) {
    for (uint8_t port = 0; port <= 21; ++port) {
        EXPECT_EQ(FalloQDK(port), 0) << "port " << int(port);
    }
}

}  // namespace
