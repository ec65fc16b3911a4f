#include "SerialDevice.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "TestLine.h"
#include "Timing.h"

using namespace baslink::platform;
using baslink::testing::TemporaryConfigHome;
using baslink::testing::TestLine;

namespace {

constexpr uint32_t kAllEvents = EV_RXCHAR | EV_CTS | EV_DSR | EV_RLSD | EV_ERR | EV_RING;

class SerialDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { links.Link("com5", pty.SlavePath()); }

    std::unique_ptr<SerialDevice> OpenCom5() {
        auto opened = OpenSerialDevice("com5");
        if (!opened.device) {
            ADD_FAILURE() << opened.error;
            return nullptr;
        }
        std::string error;
        EXPECT_TRUE(opened.device->SetLineParams(115200, 8, kParityNone, kStopBitsOne, error))
            << error;
        return std::move(opened.device);
    }

    TemporaryConfigHome links;
    TestLine pty;
};

struct ChildOpen {
    pid_t pid = -1;
    bool opened = false;
};

// Opens `path` in a child that is an ordinary user (nobody where the test runs as root, whom
// a terminal's exclusive mode does not keep out). The child says whether it opened the device;
// one that opened it and `holds` keeps it until it is killed, the others end.
ChildOpen OpenAsOrdinaryUser(const std::string& path, bool holds) {
    constexpr uid_t kNobody = 65534;
    int said[2];
    if (pipe2(said, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(said[0]);
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(1);
        }
        const auto opened = OpenSerialDevice(path);
        const char answer = opened.device ? '1' : '0';
        (void)write(said[1], &answer, 1);
        while (opened.device && holds) {
            pause();
        }
        _exit(0);
    }
    close(said[1]);
    pollfd answered{said[0], POLLIN, 0};
    char answer = 0;
    const bool heard = pid > 0 && poll(&answered, 1, 5000) == 1 && read(said[0], &answer, 1) == 1;
    close(said[0]);
    if (pid > 0 && (!heard || answer != '1' || !holds)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return {pid, heard && answer == '1'};
}

}  // namespace

// A pseudo-terminal has no modem lines, so the watch is checked on its own.
TEST(ModemLineWatch, ReportsEachChangedLineAgainstTheStateBeforeIt) {
    ModemLineWatch watch(MS_CTS_ON);
    EXPECT_EQ(watch.Sample(MS_CTS_ON), 0u);
    EXPECT_EQ(watch.Sample(MS_DSR_ON | MS_RLSD_ON | MS_RING_ON),
              EV_CTS | EV_DSR | EV_RLSD | EV_RING);

    // A line that changes while nobody waits (the reader busy with a callback) is reported
    // by the next look, and the status handed with it is still the one before the change.
    const uint32_t before = watch.Status();
    EXPECT_EQ(before, MS_DSR_ON | MS_RLSD_ON | MS_RING_ON);
    EXPECT_EQ(watch.Sample(MS_DSR_ON | MS_RLSD_ON), EV_RING);
    EXPECT_EQ(watch.Status(), MS_DSR_ON | MS_RLSD_ON);
}

TEST_F(SerialDeviceTest, PseudoTerminalHasNoModemLinesAndIgnoresThem) {
    auto device = OpenCom5();
    device->SetRts(true);
    device->SetDtr(true);
    EXPECT_EQ(device->ModemStatus(), 0u);
}

TEST_F(SerialDeviceTest, MissingDeviceReportsTheSystemReason) {
    links.Link("com6", links.Path() / "no-such-device");
    const auto opened = OpenSerialDevice("com6");
    EXPECT_FALSE(opened.device);
    EXPECT_EQ(opened.error, "No such file or directory");
    EXPECT_FALSE(OpenSerialDevice("not-a-port").device);
}

TEST_F(SerialDeviceTest, DeviceIsHeldExclusively) {
    auto first = OpenCom5();
    const auto second = OpenSerialDevice("com5");
    EXPECT_FALSE(second.device);
    EXPECT_EQ(second.error, "Device or resource busy");
    first.reset();
    EXPECT_TRUE(OpenSerialDevice("com5").device);
}

// A program that dies holding a device, however it dies, leaves nothing behind that keeps
// the next program of its user out.
TEST_F(SerialDeviceTest, AHolderKilledOutrightLeavesThePseudoTerminalToTheNext) {
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0666), 0);
    const ChildOpen holder = OpenAsOrdinaryUser(pty.SlavePath(), true);
    ASSERT_TRUE(holder.opened);
    EXPECT_FALSE(OpenAsOrdinaryUser(pty.SlavePath(), false).opened);  // held meanwhile
    kill(holder.pid, SIGKILL);
    waitpid(holder.pid, nullptr, 0);
    EXPECT_TRUE(OpenAsOrdinaryUser(pty.SlavePath(), false).opened);
}

TEST_F(SerialDeviceTest, WaitReportsArrivalAndReadTakesExactlyTheQueuedBytes) {
    auto device = OpenCom5();
    pty.Send(std::string("\x01\r\n\xff", 4));
    const WaitResult result = device->WaitEvent(kAllEvents);
    EXPECT_FALSE(result.closeRequested);
    EXPECT_EQ(result.events, EV_RXCHAR);
    ASSERT_TRUE(baslink::testing::Eventually([&] { return device->BytesQueued() == 4; }));
    char bytes[4] = {};
    EXPECT_EQ(device->Read(bytes, 4), 4u);
    EXPECT_EQ(std::string(bytes, 4), std::string("\x01\r\n\xff", 4));  // untranslated
    EXPECT_EQ(device->BytesQueued(), 0u);

    EXPECT_EQ(device->Write("ping", 4), 4u);
    EXPECT_EQ(pty.Receive(4), "ping");
}

TEST_F(SerialDeviceTest, PurgeDropsUnreadInput) {
    auto device = OpenCom5();
    pty.Send("stale");
    ASSERT_TRUE(baslink::testing::Eventually([&] { return device->BytesQueued() == 5; }));
    device->Purge();
    EXPECT_EQ(device->BytesQueued(), 0u);
}

TEST_F(SerialDeviceTest, CloseRequestEndsAWaitFromAnotherThreadAndStaysSet) {
    auto device = OpenCom5();
    std::atomic<bool> ended{false};
    WaitResult result;
    std::thread waiter([&] {
        result = device->WaitEvent(kAllEvents);
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(ended);
    device->RequestClose();
    waiter.join();
    EXPECT_TRUE(result.closeRequested);
    EXPECT_TRUE(device->WaitEvent(kAllEvents).closeRequested);
    // A read that would block gives up too.
    char byte;
    EXPECT_EQ(device->Read(&byte, 1), 0u);
}

TEST_F(SerialDeviceTest, HangUpOfTheOtherEndEndsTheWaitAsTheDeviceGone) {
    auto device = OpenCom5();
    pty.HangUp();
    const WaitResult gone = device->WaitEvent(kAllEvents);
    EXPECT_TRUE(gone.deviceGone);
    EXPECT_FALSE(gone.closeRequested);
    EXPECT_TRUE(device->WaitEvent(kAllEvents).deviceGone);

    // A device that is gone takes no line settings either.
    std::string error;
    EXPECT_FALSE(device->SetLineParams(115200, 8, kParityNone, kStopBitsOne, error));
    EXPECT_EQ(error, "Input/output error");
}

TEST_F(SerialDeviceTest, LineSettingsTheLineCannotTakeOrKeepAreRefused) {
    auto device = OpenCom5();
    std::string error;
    EXPECT_FALSE(device->SetLineParams(12345, 8, kParityNone, kStopBitsOne, error));
    EXPECT_EQ(error,
              "the line cannot take 12345 baud, 8 data bits, parity code 0, stop-bit code 0");
    // A pseudo-terminal takes the call but keeps neither parity nor 7 data bits.
    EXPECT_FALSE(device->SetLineParams(115200, 8, kParityOdd, kStopBitsOne, error));
    EXPECT_FALSE(device->SetLineParams(115200, 7, kParityNone, kStopBitsOne, error));
    const termios line = pty.Settings();
    EXPECT_EQ(cfgetospeed(&line), B115200);
}
