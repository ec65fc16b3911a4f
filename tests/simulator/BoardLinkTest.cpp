// The board over the pseudo-terminal: link frames, payload commands, framing.

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LineClient.h"

namespace baslink::sim::test {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kAckLength = 8;

class BoardLinkTest : public ::testing::Test {
protected:
    TemporaryConfigHome home;
    SimulatedBus bus{"com1"};
    LineClient line{bus.linkPath()};

    // One board transaction: the send, its acknowledgement, then the fetch.
    Bytes transact(const Bytes& payload, uint16_t fetchLength) {
        const Bytes ack = line.exchange(SendFrame(payload), kAckLength);
        EXPECT_EQ(ack.size(), kAckLength);
        EXPECT_TRUE(CrcOk(ack));
        const Bytes reply = line.exchange(FetchFrame(fetchLength), fetchLength + 5u);
        EXPECT_EQ(reply.size(), fetchLength + 5u);
        EXPECT_TRUE(CrcOk(reply));
        return reply;
    }
};

TEST_F(BoardLinkTest, LinksThePortAndRemovesTheLinkAtStop) {
    const auto link = home.Path() / "baslink" / "ports" / "com1";
    EXPECT_EQ(bus.linkPath(), link);
    // Through the simulator's own descriptor of its terminal, which goes with the process.
    EXPECT_EQ(std::filesystem::read_symlink(link).parent_path(),
              "/proc/" + std::to_string(getpid()) + "/fd");
    EXPECT_EQ(std::filesystem::canonical(link), bus.devicePath());
    bus.stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(BoardLinkTest, ResetFrameIsAcknowledgedAndCounted) {
    const Bytes frame = SendFrame({0x07, 0x07, 0x07, 0x07, 0x07});
    ASSERT_EQ(frame.size(), 14u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 12),
              (Bytes{0x01, 0x65, 0x00, 0x00, 0x00, 0x05, 0x05, 0x07, 0x07, 0x07, 0x07, 0x07}));
    const Bytes ack = line.exchange(frame, kAckLength);
    ASSERT_EQ(ack.size(), kAckLength);
    EXPECT_TRUE(CrcOk(ack));
    EXPECT_EQ(bus.board().resetCount(), 1u);
    EXPECT_TRUE(line.silentFor(50ms));
}

TEST_F(BoardLinkTest, OnlyTheWholeResetPayloadResets) {
    for (const Bytes& payload : {Bytes{0x07}, Bytes{0x07, 0x07, 0x07, 0x07, 0x00},
                                 Bytes{0x07, 0x07, 0x07, 0x07, 0x07, 0x07}}) {
        const Bytes ack = line.exchange(SendFrame(payload), kAckLength);
        EXPECT_TRUE(CrcOk(ack));
    }
    EXPECT_EQ(bus.board().resetCount(), 0u);
}

TEST_F(BoardLinkTest, EepromWriteThenReadEchoesTheSequence) {
    Bytes reply = transact({0x06, 0x02, 0x00, 0x08, 0x02, 0x00, 0x1E}, 3);
    EXPECT_EQ(reply[4], 0x02);  // r1 = seqE
    EXPECT_EQ(bus.board().eeprom(8, 2), (Bytes{0x00, 0x1E}));

    reply = transact({0x05, 0x03, 0x00, 0x07, 0x03}, 3 + 3);
    EXPECT_EQ(reply[4], 0x03);
    EXPECT_EQ(Bytes(reply.begin() + 5, reply.begin() + 8), (Bytes{0xFF, 0x00, 0x1E}));
}

TEST_F(BoardLinkTest, EepromOfSizeZeroAndAcrossTheTopWraps) {
    bus.board().setEeprom(0xFFFF, {0xAB, 0xCD});
    EXPECT_EQ(bus.board().eeprom(0, 1), (Bytes{0xCD}));
    const Bytes reply = transact({0x05, 0x09, 0x00, 0x10, 0x00}, 3);
    EXPECT_EQ(reply[4], 0x09);
}

TEST_F(BoardLinkTest, MemoryCommandsReachTheRegulator) {
    auto regulator = bus.addRegulator(5);
    regulator.setMemory(0, 0x0010, {0x11, 0x22});
    regulator.setMemory(2, 0x0010, {0x33, 0x44});

    // Read, block 0 and block 2: r1 = seq, r2 = 1, then the data.
    Bytes reply = transact({0x01, 0x07, 0x15, 0x05, 0x00, 0x00, 0x10, 0x02}, 5);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 8), (Bytes{0x07, 0x01, 0x11, 0x22}));
    reply = transact({0x04, 0x08, 0x15, 0x05, 0x07, 0x02, 0x00, 0x10, 0x02}, 5);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 8), (Bytes{0x08, 0x01, 0x33, 0x44}));

    // Writes, block 0 and block 3.
    reply = transact({0x01, 0x09, 0x15, 0x05, 0x04, 0x00, 0x10, 0x02, 0xAA, 0xBB}, 3);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 6), (Bytes{0x09, 0x01}));
    EXPECT_EQ(regulator.memory(0, 0x0010, 2), (Bytes{0xAA, 0xBB}));
    reply = transact({0x04, 0x0A, 0x15, 0x05, 0x08, 0x03, 0x01, 0x00, 0x01, 0x5A}, 3);
    EXPECT_EQ(reply[5], 0x01);
    EXPECT_EQ(regulator.memory(3, 0x0100, 1), (Bytes{0x5A}));
}

TEST_F(BoardLinkTest, HighNodesAndAbsentRegulators) {
    bus.addRegulator(1023).setMemory(0, 0, {0x77});
    Bytes reply = transact({0x01, 0x01, 0xD5, 0xFF, 0x00, 0x00, 0x00, 0x01}, 4);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 7), (Bytes{0x01, 0x01, 0x77}));

    // Node 6 is absent: the board still answers, with status 0.
    reply = transact({0x01, 0x02, 0x15, 0x06, 0x00, 0x00, 0x00, 0x01}, 4);
    EXPECT_EQ(reply[4], 0x02);
    EXPECT_EQ(reply[5], 0x00);
}

TEST_F(BoardLinkTest, BadCrcIsIgnoredAndTheNextFrameIsAnswered) {
    Bytes bad = SendFrame({0x07, 0x07, 0x07, 0x07, 0x07});
    bad.back() ^= 0x01;
    line.write(bad);
    EXPECT_TRUE(line.silentFor(100ms));
    EXPECT_EQ(bus.board().resetCount(), 0u);
    ASSERT_TRUE(bus.waitForReceived(1, 1s));
    EXPECT_FALSE(bus.receivedFrames().front().checkOk);

    const Bytes ack = line.exchange(SendFrame({0x07, 0x07, 0x07, 0x07, 0x07}), kAckLength);
    EXPECT_TRUE(CrcOk(ack));
    EXPECT_EQ(bus.board().resetCount(), 1u);
}

TEST_F(BoardLinkTest, FramesAreFoundInAStreamWithGarbageAndNoGaps) {
    // Garbage that looks like frame heads, then two frames back to back in one write.
    Bytes stream{0x00, 0xFF, 0x15, 0x01, 0x65, 0x33};
    const Bytes write = SendFrame({0x06, 0x04, 0x00, 0x20, 0x01, 0x42});
    const Bytes reset = SendFrame({0x07, 0x07, 0x07, 0x07, 0x07});
    stream.insert(stream.end(), write.begin(), write.end());
    stream.insert(stream.end(), reset.begin(), reset.end());
    line.write(stream);
    const Bytes acks = line.read(2 * kAckLength);
    ASSERT_EQ(acks.size(), 2 * kAckLength);
    EXPECT_EQ(bus.board().eeprom(0x20, 1), (Bytes{0x42}));
    EXPECT_EQ(bus.board().resetCount(), 1u);
}

TEST_F(BoardLinkTest, FrameArrivingInPiecesIsAssembled) {
    const Bytes frame = SendFrame({0x07, 0x07, 0x07, 0x07, 0x07});
    line.write(Bytes(frame.begin(), frame.begin() + 5));
    std::this_thread::sleep_for(30ms);
    line.write(Bytes(frame.begin() + 5, frame.end()));
    EXPECT_EQ(line.read(kAckLength).size(), kAckLength);
}

TEST_F(BoardLinkTest, AbandonedFrameHeadDoesNotSwallowTheNextFrame) {
    // The head of a send announcing 240 payload bytes that never come.
    line.write({0x01, 0x65, 0x00, 0x00, 0x00, 0xF0, 0xF0});
    std::this_thread::sleep_for(kStaleFrameTime + 100ms);
    const Bytes frame = SendFrame({0x07, 0x07, 0x07, 0x07, 0x07});
    EXPECT_EQ(line.exchange(frame, kAckLength).size(), kAckLength);
    EXPECT_EQ(bus.board().resetCount(), 1u);
}

TEST_F(BoardLinkTest, ClientCanCloseAndReopenThePort) {
    { LineClient first(bus.linkPath()); }
    LineClient second(bus.linkPath());
    EXPECT_EQ(second.exchange(SendFrame({0x07, 0x07, 0x07, 0x07, 0x07}), kAckLength).size(),
              kAckLength);
}

TEST_F(BoardLinkTest, LogKeepsEveryFrameInOrder) {
    transact({0x05, 0x02, 0x00, 0x00, 0x01}, 4);
    const auto frames = bus.frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].direction, Direction::Received);
    EXPECT_EQ(frames[0].kind, FrameKind::BoardSend);
    EXPECT_EQ(frames[1].direction, Direction::Sent);
    EXPECT_EQ(frames[2].kind, FrameKind::BoardFetch);
    EXPECT_EQ(frames[3].bytes.size(), 9u);
    EXPECT_LE(frames[0].time, frames[3].time);
    bus.clearFrames();
    EXPECT_EQ(bus.receivedCount(), 0u);
}

TEST_F(BoardLinkTest, LineTimingPacesTheAnswer) {
    bus.setLineTiming({.enabled = true, .turnaround = 200ms});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(line.exchange(SendFrame({0x07, 0x07, 0x07, 0x07, 0x07}), kAckLength).size(),
              kAckLength);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
}

}  // namespace
}  // namespace baslink::sim::test
