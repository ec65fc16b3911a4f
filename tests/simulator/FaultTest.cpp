// Faults on demand and queued raw answers.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "LineClient.h"

namespace baslink::sim::test {
namespace {

using namespace std::chrono_literals;

const Bytes kReset{0x07, 0x07, 0x07, 0x07, 0x07};

Bytes EepromWrite(uint8_t sequence, uint16_t address, uint8_t value) {
    return {
        0x06, sequence, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF),
        0x01, value};
}

Bytes EepromRead(uint8_t sequence, uint16_t address) {
    return {0x05, sequence, static_cast<uint8_t>(address >> 8),
            static_cast<uint8_t>(address & 0xFF), 0x01};
}

class FaultTest : public ::testing::Test {
protected:
    TemporaryConfigHome home;
    SimulatedBus bus{"com4"};
    LineClient line{bus.linkPath()};

    // Waits long for an acknowledgement that should come, briefly for one that should not.
    bool acknowledged(const Bytes& payload, std::chrono::milliseconds wait = 2s) {
        line.write(SendFrame(payload));
        const Bytes ack = line.read(8, wait);
        return ack.size() == 8 && CrcOk(ack);
    }
    bool ignored(const Bytes& payload) { return !acknowledged(payload, 150ms); }
};

TEST_F(FaultTest, NoAnswerIsLimitedToItsFrameCountAndLosesTheFrame) {
    bus.injectFault({FaultAction::NoAnswer, {.kind = FrameKind::BoardSend, .command = 6}, 4});
    EXPECT_TRUE(acknowledged(kReset));  // another command is not affected
    for (uint8_t attempt = 1; attempt <= 4; ++attempt) {
        EXPECT_TRUE(ignored(EepromWrite(attempt, 0x30, attempt))) << int(attempt);
    }
    EXPECT_EQ(bus.board().eeprom(0x30, 1), (Bytes{0xFF}));
    EXPECT_TRUE(acknowledged(EepromWrite(5, 0x30, 5)));
    EXPECT_EQ(bus.board().eeprom(0x30, 1), (Bytes{0x05}));
}

TEST_F(FaultTest, FetchFaultsMatchByTheAddressOfTheSendTheyCollect) {
    bus.board().setEeprom(86, {0x86, 0x87});
    bus.injectFault({FaultAction::NoAnswer,
                     {.kind = FrameKind::BoardFetch, .command = 5, .address = 87},
                     kEveryFrame});
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(acknowledged(EepromRead(1, 87)));
        line.write(FetchFrame(4));
        EXPECT_TRUE(line.read(9, 150ms).empty());
    }
    ASSERT_TRUE(acknowledged(EepromRead(2, 86)));
    const Bytes reply = line.exchange(FetchFrame(4), 9);
    ASSERT_EQ(reply.size(), 9u);
    EXPECT_EQ(reply[5], 0x86);
}

TEST_F(FaultTest, ContentFaultsSpoilTheReply) {
    bus.addRegulator(5).setMemory(0, 0, {0x42});
    const Bytes read{0x01, 0x07, 0x15, 0x05, 0x00, 0x00, 0x00, 0x01};

    bus.injectFault({FaultAction::WrongSequence, {.kind = FrameKind::BoardFetch}});
    ASSERT_TRUE(acknowledged(read));
    Bytes reply = line.exchange(FetchFrame(4), 9);
    EXPECT_TRUE(CrcOk(reply));
    EXPECT_NE(reply[4], 0x07);

    bus.injectFault({FaultAction::StatusZero, {.kind = FrameKind::BoardFetch, .node = 5}});
    reply = line.exchange(FetchFrame(4), 9);
    EXPECT_TRUE(CrcOk(reply));
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 7), (Bytes{0x07, 0x00, 0x42}));

    bus.injectFault({FaultAction::BadCheck, {.kind = FrameKind::BoardFetch}});
    reply = line.exchange(FetchFrame(4), 9);
    ASSERT_EQ(reply.size(), 9u);
    EXPECT_FALSE(CrcOk(reply));

    // Every fault was used up: the next fetch is clean.
    reply = line.exchange(FetchFrame(4), 9);
    EXPECT_TRUE(CrcOk(reply));
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 7), (Bytes{0x07, 0x01, 0x42}));
}

TEST_F(FaultTest, ReplyContentFaultsWaitForTheFetchOfTheirCommand) {
    bus.addRegulator(5).setMemory(0, 0, {0x42});
    const Bytes read{0x01, 0x07, 0x15, 0x05, 0x00, 0x00, 0x00, 0x01};
    // No kind given: the send of command 1 matches too, but has no sequence to spoil.
    bus.injectFault({FaultAction::WrongSequence, {.command = 1}});
    bus.injectFault({FaultAction::StatusZero, {.command = 1, .node = 5}});
    ASSERT_TRUE(acknowledged(read));
    Bytes reply = line.exchange(FetchFrame(4), 9);
    ASSERT_EQ(reply.size(), 9u);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 6), (Bytes{0x08, 0x00}));

    reply = line.exchange(FetchFrame(4), 9);
    ASSERT_EQ(reply.size(), 9u);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 6), (Bytes{0x07, 0x01}));
}

TEST_F(FaultTest, BadSumOnDirectAnswersOfOneNode) {
    bus.addRegulator(5);
    bus.addRegulator(6);
    bus.injectFault({FaultAction::BadCheck, {.node = 6}, 1});
    const Bytes five = line.exchange(WithSum({0x15, 0x05, 0x01, 0x01, 0x00, 0x00}), 4);
    const Bytes six = line.exchange(WithSum({0x15, 0x06, 0x01, 0x01, 0x00, 0x00}), 4);
    EXPECT_TRUE(SumOk(five));
    ASSERT_EQ(six.size(), 4u);
    EXPECT_FALSE(SumOk(six));
}

TEST_F(FaultTest, DelayedAndSplitAnswersTakeTheirTime) {
    bus.injectFault({FaultAction::DelayAnswer, {}, 1, 300ms});
    auto start = std::chrono::steady_clock::now();
    line.write(SendFrame(kReset));
    EXPECT_TRUE(line.read(8, 100ms).empty());
    EXPECT_EQ(line.read(8).size(), 8u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);

    // Chunks of 3, 3 and 2 bytes, 100 ms apart.
    bus.injectFault({FaultAction::SplitAnswer, {}, 1, 100ms, 3});
    start = std::chrono::steady_clock::now();
    line.write(SendFrame(kReset));
    const Bytes first = line.read(8, 50ms);
    EXPECT_LT(first.size(), 8u);
    const Bytes rest = line.read(8 - first.size());
    EXPECT_EQ(first.size() + rest.size(), 8u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);
}

TEST_F(FaultTest, ClearFaultsRemovesStandingFaults) {
    bus.injectFault({FaultAction::NoAnswer, {}, kEveryFrame});
    EXPECT_TRUE(ignored(kReset));
    bus.clearFaults();
    EXPECT_TRUE(acknowledged(kReset));
    EXPECT_THROW(bus.injectFault({FaultAction::NoAnswer, {}, 0}), std::invalid_argument);
}

TEST_F(FaultTest, RawAnswersTakeTheNextBytesWhateverTheirShape) {
    // 0x01 0x65 would start a board frame; the queued exchange takes it anyway.
    bus.queueRawAnswer(3, {0xA1, 0xA2});
    EXPECT_EQ(line.exchange({0x01, 0x65, 0x00}, 2), (Bytes{0xA1, 0xA2}));
    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].kind, FrameKind::Raw);
    EXPECT_EQ(received[0].bytes, (Bytes{0x01, 0x65, 0x00}));

    // Framing goes on as usual afterwards.
    EXPECT_TRUE(acknowledged(kReset));

    // An exchange of no request bytes answers at once.
    bus.queueRawAnswer(0, {0x55});
    EXPECT_EQ(line.read(1), (Bytes{0x55}));
}

// Tests and driver threads may still be queueing and reading while the owner stops
// the bus; the state stays readable afterwards.
TEST_F(FaultTest, StopWhileOtherThreadsUseTheBus) {
    std::atomic<bool> done{false};
    std::thread user([&] {
        while (!done) {
            bus.queueRawAnswer(1, {0x55});
            bus.frames();
        }
    });
    std::this_thread::sleep_for(20ms);
    bus.stop();
    done = true;
    user.join();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(bus.linkPath())));
    EXPECT_EQ(bus.receivedCount(), 0u);
}

}  // namespace
}  // namespace baslink::sim::test
