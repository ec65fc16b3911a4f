// The three receive modes, over a pseudo-terminal through the real reader.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ReceiveRecorder.h"
#include "TestLine.h"
#include "ThreadComPort.h"
#include "Timing.h"

using namespace baslink;
using baslink::testing::Eventually;

namespace {

class ReceiveModesTest : public ::testing::Test {
protected:
    void SetUp() override {
        links.Link("com7", pty.SlavePath());
        port.Port = "com7";
    }

    void OpenIn(TReceiveMode mode) {
        port.ReceiveMode = mode;
        recorder.Attach(port);
        port.Open();
    }

    // Sends bytes whose handling nothing shows, and gives the reader time to take them:
    // the pseudo-terminal passes them on asynchronously.
    void SendUnseen(const std::string& bytes) {
        pty.Send(bytes);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_TRUE(Eventually([&] { return pty.PendingAtDevice() == 0; }));
    }

    baslink::testing::TemporaryConfigHome links;
    baslink::testing::TestLine pty;
    TThreadComPort port;
    baslink::testing::ReceiveRecorder recorder;
};

}  // namespace

TEST_F(ReceiveModesTest, CountDeliversTheWholeBufferFromTheThresholdOnUntilSend) {
    port.minTamanioRX = 8;
    OpenIn(rmCount);
    pty.Send("12345");
    ASSERT_TRUE(Eventually([&] { return port.BufferRX() == "12345"; }));
    EXPECT_TRUE(recorder.Deliveries().empty());

    pty.Send("678");
    EXPECT_EQ(recorder.WaitFor(1), (std::vector<std::string>{"12345678"}));
    pty.Send("9");
    EXPECT_EQ(recorder.WaitFor(2), (std::vector<std::string>{"12345678", "123456789"}));
    EXPECT_EQ(port.BufferRX(), "123456789");
    EXPECT_TRUE(recorder.SenderWasPort());

    // Send empties the buffer before its bytes go out.
    port.Send("\x01\x65", 2);
    EXPECT_EQ(port.BufferRX(), "");
    EXPECT_EQ(pty.Receive(2), "\x01\x65");
    pty.Send("ab");
    ASSERT_TRUE(Eventually([&] { return port.BufferRX() == "ab"; }));
    EXPECT_EQ(recorder.Deliveries().size(), 2u);
}

TEST_F(ReceiveModesTest, CountWithThresholdZeroDeliversEveryChunk) {
    OpenIn(rmCount);
    pty.Send("a");
    EXPECT_EQ(recorder.WaitFor(1), (std::vector<std::string>{"a"}));
    pty.Send("bc");
    EXPECT_EQ(recorder.WaitFor(2), (std::vector<std::string>{"a", "abc"}));
}

TEST_F(ReceiveModesTest, TerminatorDeliversOneMessagePerChunk) {
    OpenIn(rmTERM);
    pty.Send("A\r\nB\r\n");
    EXPECT_EQ(recorder.WaitFor(1), (std::vector<std::string>{"A\r\n"}));
    ASSERT_TRUE(Eventually([&] { return port.BufferRX() == "B\r\n"; }));

    // The waiting message goes with the next chunk, whatever that brings.
    pty.Send("C");
    EXPECT_EQ(recorder.WaitFor(2), (std::vector<std::string>{"A\r\n", "B\r\n"}));
    ASSERT_TRUE(Eventually([&] { return port.BufferRX() == "C"; }));

    port.SetTerminator("#59");
    pty.Send("D;");
    EXPECT_EQ(recorder.WaitFor(3).back(), "CD;");
    EXPECT_TRUE(Eventually([&] { return port.BufferRX().empty(); }));
}

TEST_F(ReceiveModesTest, RawHandsOverEachChunkAndKeepsNoBuffer) {
    OpenIn(rmRAW);
    const std::string binary("\x00\r\xff\n", 4);
    pty.Send(binary);
    EXPECT_EQ(recorder.WaitFor(1), (std::vector<std::string>{binary}));
    EXPECT_EQ(port.BufferRX(), "");
}

TEST_F(ReceiveModesTest, BytesArrivingWithoutCallbackAreLost) {
    port.ReceiveMode = rmCount;
    port.Open();
    SendUnseen("lost");
    EXPECT_EQ(port.BufferRX(), "");

    recorder.Attach(port);
    pty.Send("kept");
    EXPECT_EQ(recorder.WaitFor(1), (std::vector<std::string>{"kept"}));

    port.ReceiveCallBack = nullptr;
    SendUnseen("gone");
    EXPECT_EQ(port.BufferRX(), "kept");
}

TEST_F(ReceiveModesTest, EmptyTerminatorDeliversNothingUntilAValidOneIsSet) {
    EXPECT_THROW(port.SetTerminator("#"), EComError);
    OpenIn(rmTERM);
    SendUnseen("A\r\n");
    EXPECT_TRUE(recorder.Deliveries().empty());
    EXPECT_EQ(port.BufferRX(), "A\r\n");

    port.SetTerminator("#10");
    pty.Send("B");
    EXPECT_EQ(recorder.WaitFor(1), (std::vector<std::string>{"A\r\n"}));
}
