// Regulators answering direct frames, and the EEPROM mailbox of block 7.

#include <gtest/gtest.h>

#include "LineClient.h"

namespace baslink::sim::test {
namespace {

using namespace std::chrono_literals;

class DirectFrameTest : public ::testing::Test {
protected:
    TemporaryConfigHome home;
    SimulatedBus bus{"com2"};
    LineClient line{bus.linkPath()};
    RegulatorHandle regulator = bus.addRegulator(5);
};

TEST_F(DirectFrameTest, PlainReadAnswersSizePlusThreeBytes) {
    regulator.setMemory(0, 0x0102, {0xDE, 0xAD, 0xBE, 0xEF});
    const Bytes request{0x15, 0x05, 0x01, 0x04, 0x01, 0x02, 0x22};
    ASSERT_TRUE(SumOk(request));
    const Bytes answer = line.exchange(request, 7);
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_TRUE(SumOk(answer));
    EXPECT_EQ(Bytes(answer.begin() + 2, answer.begin() + 6), (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_TRUE(line.silentFor(30ms));
}

TEST_F(DirectFrameTest, WritesOfBothFormsAreStoredAndAcknowledged) {
    // Block 0: byte 3 is 0x80 | size.
    Bytes answer = line.exchange(WithSum({0x15, 0x05, 0x02, 0x82, 0x00, 0x20, 0x34, 0x12}), 3);
    ASSERT_EQ(answer.size(), 3u);
    EXPECT_TRUE(SumOk(answer));
    EXPECT_EQ(regulator.memory(0, 0x0020, 2), (Bytes{0x34, 0x12}));

    // Block 3: E0 size 08 block offset data.
    const Bytes write = WithSum({0x15, 0x05, 0x03, 0xE0, 0x02, 0x08, 0x03, 0x00, 0x40, 0xAA, 0xBB});
    ASSERT_EQ(write.size(), 12u);
    answer = line.exchange(write, 3);
    EXPECT_TRUE(SumOk(answer));
    EXPECT_EQ(regulator.memory(3, 0x0040, 2), (Bytes{0xAA, 0xBB}));

    // And read back in the block form.
    answer = line.exchange(WithSum({0x15, 0x05, 0x04, 0xE0, 0x02, 0x07, 0x03, 0x00, 0x40}), 5);
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_EQ(Bytes(answer.begin() + 2, answer.begin() + 4), (Bytes{0xAA, 0xBB}));
}

TEST_F(DirectFrameTest, AbsentNodeAndBadSumGetNoAnswer) {
    line.write(WithSum({0x15, 0x06, 0x01, 0x01, 0x00, 0x00}));  // node 6 is absent
    Bytes bad = WithSum({0x15, 0x05, 0x01, 0x01, 0x00, 0x00});
    bad.back() ^= 0x10;
    line.write(bad);
    EXPECT_TRUE(line.silentFor(150ms));
    EXPECT_EQ(line.exchange(WithSum({0x15, 0x05, 0x01, 0x01, 0x00, 0x00}), 4).size(), 4u);
}

TEST_F(DirectFrameTest, HighNodeBitsTravelInTheFirstHeaderByte) {
    bus.addRegulator(341).setMemory(0, 0, {0x41});
    const Bytes answer = line.exchange(WithSum({0x55, 0x55, 0x01, 0x01, 0x00, 0x00}), 4);
    ASSERT_EQ(answer.size(), 4u);
    EXPECT_EQ(answer[2], 0x41);
    EXPECT_THROW(bus.addRegulator(1024), std::invalid_argument);
}

TEST_F(DirectFrameTest, RemovedRegulatorStopsAnswering) {
    bus.removeRegulator(5);
    line.write(WithSum({0x15, 0x05, 0x01, 0x01, 0x00, 0x00}));
    EXPECT_TRUE(line.silentFor(100ms));
    EXPECT_THROW(bus.regulator(5), std::out_of_range);
}

// The driver writes 1 addrHi addrLo count at block 7 offset 116, waits, then reads
// from offset 120; a write carries its data after the same four bytes.
TEST_F(DirectFrameTest, EepromMailboxServesReadsAndWrites) {
    Bytes request = WithSum({0x15, 0x05, 0x01, 0xE0, 0x07, 0x08, 0x07, 0x00, 116, 0x02, 0x01, 0x00,
                             0x03, 0x0A, 0x0B, 0x0C});
    EXPECT_EQ(line.exchange(request, 3).size(), 3u);
    EXPECT_EQ(regulator.eeprom(0x0100, 4), (Bytes{0x0A, 0x0B, 0x0C, 0xFF}));
    EXPECT_EQ(regulator.memory(7, 116, 1), (Bytes{0x00}));  // served

    request =
        WithSum({0x15, 0x05, 0x02, 0xE0, 0x04, 0x08, 0x07, 0x00, 116, 0x01, 0x01, 0x01, 0x02});
    EXPECT_EQ(line.exchange(request, 3).size(), 3u);
    const Bytes answer =
        line.exchange(WithSum({0x15, 0x05, 0x03, 0xE0, 0x02, 0x07, 0x07, 0x00, 120}), 5);
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_EQ(Bytes(answer.begin() + 2, answer.begin() + 4), (Bytes{0x0B, 0x0C}));
}

TEST_F(DirectFrameTest, MailboxIsNotServedByWritesElsewhere) {
    regulator.setEeprom(0x10, {0x99});
    // Same bytes in block 6, and in block 7 starting after the command byte.
    line.exchange(
        WithSum({0x15, 0x05, 0x01, 0xE0, 0x04, 0x08, 0x06, 0x00, 116, 0x01, 0x00, 0x10, 0x01}), 3);
    line.exchange(WithSum({0x15, 0x05, 0x02, 0xE0, 0x03, 0x08, 0x07, 0x00, 117, 0x00, 0x10, 0x01}),
                  3);
    EXPECT_EQ(regulator.memory(7, 120, 1), (Bytes{0x00}));
    EXPECT_EQ(regulator.memory(6, 116, 1), (Bytes{0x01}));
}

}  // namespace
}  // namespace baslink::sim::test
