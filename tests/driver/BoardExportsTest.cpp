// The board's EEPROM, reset and failure exports, through libbaslink.so, against the
// simulated board on a pseudo-terminal.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "BusFrames.h"
#include "LibraryOnBusTest.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using baslink::sim::Bytes;
using baslink::sim::FaultAction;
using baslink::sim::FrameKind;
using baslink::sim::SimulatedBus;
using baslink::testing::Since;
using baslink::testing::SteadyClock;
using std::chrono::milliseconds;

class BoardExportsTest : public LibraryOnBusTest {};

TEST_F(BoardExportsTest, ResetSendsTheFourteenByteResetFrameAndFetchesNothing) {
    ResetQDK(1);
    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].bytes, (Bytes{0x01, 0x65, 0x00, 0x00, 0x00, 0x05, 0x05, 0x07, 0x07, 0x07,
                                        0x07, 0x07, 0x65, 0xDE}));
    EXPECT_EQ(bus.board().resetCount(), 1u);
}

TEST_F(BoardExportsTest, EepromWriteSendsItsPayloadThenFetchesThreeBytes) {
    const uint8_t data[] = {0x00, 0x1E};
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 8, 2, data), 1);

    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 2u);
    // The first EEPROM command after load carries sequence 2.
    EXPECT_EQ(received[0].bytes, (Bytes{0x01, 0x65, 0x00, 0x00, 0x00, 0x07, 0x07, 0x06, 0x02, 0x00,
                                        0x08, 0x02, 0x00, 0x1E, 0x05, 0xF9}));
    EXPECT_EQ(received[1].bytes, (Bytes{0x01, 0x64, 0x00, 0x64, 0x00, 0x03, 0x71, 0xDC}));
    EXPECT_EQ(bus.board().eeprom(8, 2), (Bytes{0x00, 0x1E}));
}

TEST_F(BoardExportsTest, WrittenBlocksReadBackUpToTwentyFourBytes) {
    SimulatedBus com2("com2");
    std::vector<uint8_t> written(24);
    for (std::size_t i = 0; i < written.size(); ++i) {
        written[i] = static_cast<uint8_t>(0xA0 + i);
    }
    ASSERT_EQ(EscribirBloqueEpromQDK(2, 0x1234, 24, written.data()), 1);
    EXPECT_EQ(com2.board().eeprom(0x1234, 24), Bytes(written.begin(), written.end()));

    std::vector<uint8_t> read(26, 0x55);
    ASSERT_EQ(LeerBloqueEpromQDK(2, 0x1234, 24, read.data() + 1), 1);
    EXPECT_EQ(std::vector<uint8_t>(read.begin() + 1, read.begin() + 25), written);
    // Nothing is written around the caller's block.
    EXPECT_EQ(read.front(), 0x55);
    EXPECT_EQ(read.back(), 0x55);

    // Another address reads what the board holds there.
    com2.board().setEeprom(300, {7, 8, 9});
    uint8_t three[3] = {};
    ASSERT_EQ(LeerBloqueEpromQDK(2, 300, 3, three), 1);
    EXPECT_EQ(Bytes(three, three + 3), (Bytes{7, 8, 9}));
}

TEST_F(BoardExportsTest, SizeZeroExchangesTheHeaderOnlyAndCopiesNothing) {
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 40, 0, nullptr), 1);
    uint8_t untouched = 0x5A;
    EXPECT_EQ(LeerBloqueEpromQDK(1, 40, 0, &untouched), 1);
    EXPECT_EQ(untouched, 0x5A);

    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].bytes.size(), 9u + 5u);  // write: the 5-byte header only
    EXPECT_EQ(received[2].bytes.size(), 9u + 5u);  // read request
    EXPECT_EQ(FetchLengthOf(received[3]), 3);      // the read fetches size + 3 bytes
}

TEST_F(BoardExportsTest, SizeAboveTwentyFourIsRefusedWithItsMessageAndSendsNothing) {
    uint8_t buffer[25] = {};
    testing::internal::CaptureStderr();
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 0, 25, buffer), 0);
    EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 25, buffer), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Tamaño maximo 24 bytes\nTamaño maximo 24 bytes\n");
    EXPECT_EQ(bus.receivedCount(), 0u);

    // The refused calls did not advance the sequence.
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 1, buffer), 1);
    EXPECT_EQ(bus.receivedFrames().at(0).bytes.at(8), 2);
}

TEST_F(BoardExportsTest, EepromSequenceRunsFromTwoToTwoHundredThenOne) {
    uint8_t byte = 0;
    for (int call = 1; call <= 199; ++call) {
        ASSERT_EQ(LeerBloqueEpromQDK(1, 0, 1, &byte), 1) << "call " << call;
    }
    // Both exports share the one sequence.
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 1, &byte), 1);

    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 400u);
    EXPECT_EQ(received[0].bytes[8], 2);
    EXPECT_EQ(received[2 * 198].bytes[8], 200);
    EXPECT_EQ(received[2 * 199].bytes[7], 6);
    EXPECT_EQ(received[2 * 199].bytes[8], 1);
}

TEST_F(BoardExportsTest, BadChecksumAcknowledgementKeepsTheSendWaitingTillTheTimeout) {
    uint8_t data = 1;
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 1, &data), 1);  // opens the port

    bus.clearFrames();
    bus.injectFault({FaultAction::BadCheck, {.kind = FrameKind::BoardSend, .command = 6}, 1});
    const auto start = SteadyClock::now();
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 0, 1, &data), 0);
    EXPECT_GE(Since(start), milliseconds(490));
    EXPECT_LT(Since(start), milliseconds(5000));
    EXPECT_EQ(bus.receivedCount(), 1u);  // no fetch after an unacknowledged send
}

TEST_F(BoardExportsTest, SplitAcknowledgementStillCompletesTheSend) {
    uint8_t data = 9;
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 1, &data), 1);

    baslink::sim::Fault split{
        FaultAction::SplitAnswer, {.kind = FrameKind::BoardSend, .command = 6}, 1};
    split.chunkSize = 3;
    split.delay = milliseconds(20);
    bus.injectFault(split);
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 5, 1, &data), 1);
    EXPECT_EQ(bus.board().eeprom(5, 1), Bytes{9});
}

TEST_F(BoardExportsTest, BadChecksumFetchReplyFailsAtOnce) {
    uint8_t data[2] = {3, 4};
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 2, data), 1);

    bus.injectFault({FaultAction::BadCheck, {.kind = FrameKind::BoardFetch}, 1});
    uint8_t destination[2] = {0xEE, 0xEE};
    const auto start = SteadyClock::now();
    EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 2, destination), 0);
    EXPECT_LT(Since(start), milliseconds(400));
    EXPECT_EQ(destination[0], 0xEE);
    EXPECT_EQ(destination[1], 0xEE);
}

TEST_F(BoardExportsTest, FailedExchangesReturnFalseAndLeaveTheDestination) {
    bus.board().setEeprom(16, {1, 2});
    uint8_t data[2] = {5, 6};
    uint8_t destination[2] = {0xEE, 0xEE};

    bus.injectFault({FaultAction::WrongSequence, {.kind = FrameKind::BoardFetch}, 2});
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 20, 2, data), 0);
    EXPECT_EQ(LeerBloqueEpromQDK(1, 16, 2, destination), 0);
    EXPECT_EQ(destination[0], 0xEE);

    bus.injectFault({FaultAction::NoAnswer, {.kind = FrameKind::BoardFetch}, 1});
    EXPECT_EQ(LeerBloqueEpromQDK(1, 16, 2, destination), 0);
    EXPECT_EQ(destination[0], 0xEE);
    EXPECT_EQ(destination[1], 0xEE);

    // No retry inside the library: the next call is a fresh exchange that succeeds.
    EXPECT_EQ(LeerBloqueEpromQDK(1, 16, 2, destination), 1);
    EXPECT_EQ(destination[0], 1);
    EXPECT_EQ(destination[1], 2);
}

TEST_F(BoardExportsTest, ResetOnASilentBoardReturnsAfterTheReplyTime) {
    ResetQDK(1);  // opens the port
    bus.injectFault({FaultAction::NoAnswer, {.kind = FrameKind::BoardSend, .command = 7}, 1});
    const auto start = SteadyClock::now();
    ResetQDK(1);
    EXPECT_GE(Since(start), milliseconds(490));
    EXPECT_LT(Since(start), milliseconds(5000));
}

TEST_F(BoardExportsTest, BadArgumentsSendNothing) {
    uint8_t buffer[4] = {};
    for (uint8_t port : {0, 21, 255}) {
        EXPECT_EQ(EscribirBloqueEpromQDK(port, 0, 1, buffer), 0);
        EXPECT_EQ(LeerBloqueEpromQDK(port, 0, 1, buffer), 0);
        ResetQDK(port);
        EXPECT_EQ(FalloQDK(port), 0);
    }
    EXPECT_EQ(EscribirBloqueEpromQDK(1, 0, 4, nullptr), 0);
    EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 4, nullptr), 0);
    EXPECT_EQ(bus.receivedCount(), 0u);

    // None of them used up a sequence number.
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 1, buffer), 1);
    EXPECT_EQ(bus.receivedFrames().at(0).bytes.at(8), 2);
}

TEST_F(BoardExportsTest, ExchangesFromTwoThreadsOnOnePortDoNotInterleave) {
    uint8_t opening = 0;
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 0, 1, &opening), 1);

    constexpr int kWrites = 15;
    auto writer = [](uint16_t base, int* acknowledged) {
        for (int i = 0; i < kWrites; ++i) {
            const uint8_t value = static_cast<uint8_t>(base + i);
            *acknowledged += EscribirBloqueEpromQDK(1, static_cast<uint16_t>(base + i), 1, &value);
        }
    };
    int first = 0;
    int second = 0;
    std::thread a(writer, 100, &first);
    std::thread b(writer, 200, &second);
    a.join();
    b.join();
    EXPECT_EQ(first, kWrites);
    EXPECT_EQ(second, kWrites);
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(bus.board().eeprom(100 + i, 1), Bytes{static_cast<uint8_t>(100 + i)});
        EXPECT_EQ(bus.board().eeprom(200 + i, 1), Bytes{static_cast<uint8_t>(200 + i)});
    }
}

}  // namespace
