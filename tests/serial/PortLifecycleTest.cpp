// Opening, configuring and closing the component over a pseudo-terminal.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CommThread.h"
#include "TestLine.h"
#include "ThreadComPort.h"
#include "Timing.h"

using namespace baslink;
using baslink::testing::Eventually;

namespace {

class PortLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { links.Link("com2", pty.SlavePath()); }

    // The message of the EComError that Open raises, or "" when it opens.
    static std::string OpenError(TThreadComPort& port) {
        try {
            port.Open();
        } catch (const EComError& error) {
            return error.what();
        }
        return "";
    }

    baslink::testing::TemporaryConfigHome links;
    baslink::testing::TestLine pty;
};

}  // namespace

// A pseudo-terminal keeps 8 data bits and drops the parity enable bit, so the speed, the
// stop bits and the parity kind (odd or even) are what can be read back, and a component
// that asks for parity or other data bits cannot open it.
TEST_F(PortLifecycleTest, ReaderPreparesTheLineAndOpenAppliesTheProperties) {
    {
        TCommThread reader("com2");
        ASSERT_TRUE(reader.IsOpen());
        const termios line = pty.Settings();
        EXPECT_EQ(cfgetospeed(&line), B9600);
        EXPECT_FALSE(line.c_cflag & PARODD);  // even
        EXPECT_FALSE(line.c_cflag & CSTOPB);
        EXPECT_FALSE(line.c_lflag & ICANON);
    }
    TThreadComPort port;
    port.Port = "COM2";
    port.Baud = 57600;
    port.StopBits = snTWO;
    int opens = 0;
    port.OnPortOpen = [&](TThreadComPort& sender) { opens += &sender == &port; };
    port.Open();
    EXPECT_TRUE(port.Active());
    EXPECT_EQ(opens, 1);
    termios line = pty.Settings();
    EXPECT_EQ(cfgetospeed(&line), B57600);
    EXPECT_TRUE(line.c_cflag & CSTOPB);

    // Settings changed while open wait for the next Open; a second Open does nothing.
    port.Baud = 9600;
    port.Open();
    EXPECT_EQ(opens, 1);
    line = pty.Settings();
    EXPECT_EQ(cfgetospeed(&line), B57600);
}

TEST_F(PortLifecycleTest, FailedOpenReportsTheReasonAndCanBeRetried) {
    links.Link("com9", links.Path() / "absent");
    TThreadComPort port;
    port.Port = "com9";
    bool opened = false;
    port.OnPortOpen = [&](TThreadComPort&) { opened = true; };
    EXPECT_EQ(OpenError(port), "TThreadComPort : cannot open com9\rNo such file or directory");
    EXPECT_FALSE(port.Active());
    EXPECT_FALSE(opened);

    links.Link("com9", pty.SlavePath());
    EXPECT_EQ(OpenError(port), "");
    EXPECT_TRUE(port.Active());
    EXPECT_TRUE(opened);
}

TEST_F(PortLifecycleTest, LineSettingsTheDeviceDoesNotTakeFailTheOpen) {
    struct Row {
        const char* name;
        uint32_t baud;
        uint8_t dataBits;
        TParity parity;
    };
    const Row rows[] = {
        {"a speed the line does not know", 12345, 8, ptNONE},
        {"parity on a pseudo-terminal", 115200, 8, ptEVEN},
        {"seven data bits on a pseudo-terminal", 115200, 7, ptNONE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TThreadComPort port;
        port.Port = "com2";
        port.Baud = row.baud;
        port.DataBits = row.dataBits;
        port.Parity = row.parity;
        EXPECT_TRUE(OpenError(port).starts_with("TThreadComPort : cannot open com2\r"));
        EXPECT_FALSE(port.Active());
    }
    // Nothing of the failed opens holds the device.
    TThreadComPort good;
    good.Port = "com2";
    EXPECT_EQ(OpenError(good), "");
}

TEST_F(PortLifecycleTest, SecondComponentCannotOpenAHeldDevice) {
    auto first = std::make_unique<TThreadComPort>();
    first->Port = "com2";
    first->Open();
    TThreadComPort second;
    second.Port = "com2";
    EXPECT_EQ(OpenError(second), "TThreadComPort : cannot open com2\rDevice or resource busy");
    first->Close();
    EXPECT_EQ(OpenError(second), "");
    second.Close();

    // Destroying an open component closes its device.
    first->Open();
    first.reset();
    EXPECT_EQ(OpenError(second), "");
}

TEST_F(PortLifecycleTest, SendWritesAndRtsIsHarmlessOnAPseudoTerminal) {
    TThreadComPort port;
    port.Port = "com2";
    port.Open();
    port.SetRTS(true);
    const std::string frame("\x01\x65\x00\x03", 4);
    port.Send(frame.data(), static_cast<uint8_t>(frame.size()));
    EXPECT_EQ(pty.Receive(4), frame);
}

TEST_F(PortLifecycleTest, CloseWhileBytesKeepArrivingStopsEveryCallback) {
    TThreadComPort port;
    port.Port = "com2";
    port.ReceiveMode = rmRAW;
    std::atomic<bool> closed{false};
    std::atomic<int> lateCalls{0};
    std::atomic<int> calls{0};
    port.ReceiveCallBack = [&](TThreadComPort&, const std::string&) {
        lateCalls += closed ? 1 : 0;
        ++calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    int closes = 0;
    port.OnPortClose = [&](TThreadComPort&) { ++closes; };
    port.Open();

    std::atomic<bool> stop{false};
    std::thread sender([&] {
        try {
            while (!stop) {
                pty.Send("0123456789");
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        } catch (const std::exception&) {
            // Nobody reads once the port is closed: the line fills up.
        }
    });
    ASSERT_TRUE(Eventually([&] { return calls > 20; }));
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    closed = true;
    const auto took = std::chrono::steady_clock::now() - start;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    sender.join();

    EXPECT_FALSE(port.Active());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(lateCalls, 0);
    EXPECT_LT(took, std::chrono::seconds(2));
}

TEST_F(PortLifecycleTest, AGoneDeviceClosesTheComponentAndAnOpenTakesItAgain) {
    TThreadComPort port;
    port.Port = "com2";
    int closes = 0;
    port.OnPortClose = [&](TThreadComPort&) { ++closes; };
    port.Open();
    pty.HangUp();
    ASSERT_TRUE(Eventually([&] { return !port.Active(); }));
    port.Send("x", 1);  // nothing happens on a closed port

    // The same name now leads to a device that is there.
    baslink::testing::TestLine replacement;
    links.Link("com2", replacement.SlavePath());
    port.Open();
    EXPECT_TRUE(port.Active());
    port.Send("y", 1);
    EXPECT_EQ(replacement.Receive(1), "y");
    port.Close();
    EXPECT_EQ(closes, 1);
}

TEST_F(PortLifecycleTest, CloseBeforeTheReaderStartsStillStopsIt) {
    TCommThread reader("com2");
    ASSERT_TRUE(reader.IsOpen());
    int received = 0;
    reader.OnReceive = [&](uint32_t) { ++received; };
    pty.Send("x");
    reader.SignalClose();
    reader.Resume();
    reader.WaitFor();  // would hang if the request had been lost
    EXPECT_EQ(received, 0);
}

TEST_F(PortLifecycleTest, CloseEndsASendBlockedOnAFullLine) {
    TThreadComPort port;
    port.Port = "com2";
    port.Open();
    // Nobody reads the other end, so the line fills up and a write blocks.
    std::atomic<int> sends{0};
    std::thread sender([&] {
        const std::string block(255, 'x');
        while (port.Active()) {
            port.Send(block.data(), 255);
            ++sends;
        }
    });
    int seen = -1;
    ASSERT_TRUE(Eventually([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int now = sends;
        const bool stalled = now == seen;
        seen = now;
        return stalled;
    }));
    port.Close();  // would hang if the blocked write kept the reader alive
    sender.join();
    EXPECT_FALSE(port.Active());
}
