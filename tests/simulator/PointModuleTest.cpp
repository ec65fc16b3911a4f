// Point modules: request streams checked by their count byte, answers built from
// the module's pair types and inputs, carried by board command 3.

#include <gtest/gtest.h>

#include <algorithm>

#include "BitText.h"
#include "LineClient.h"
#include "PointModule.h"

namespace baslink::sim::test {
namespace {

using baslink::testing::FromBits;

TEST(PointModuleTest, AllTypeZeroModuleTakesFortyBitsAndAnswersNine) {
    PointModule module(9, {0, 0, 0, 0});
    module.state().statusBit = true;
    // 3, address 9, four 3-bit zeros, A=1, B=0, 00, count of ones = 5.
    std::size_t bits = 0;
    const Bytes request = FromBits("00000011 00001001 000 000 000 000 1 0 00 00000101", &bits);
    ASSERT_EQ(bits, 40u);
    const auto answer = module.serve(request, bits);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->bitCount, 9);
    EXPECT_EQ(answer->bytes, FromBits("1 00000001"));
    EXPECT_TRUE(module.state().bitA);
    EXPECT_FALSE(module.state().bitB);
}

TEST(PointModuleTest, MixedPairsCarryOutputsAndInputs) {
    PointModule module(2, {1, 4, 2, 3});
    module.state().inputs = {0, 0, 0, 0, 1, 0, 0x534, 0x7FF};
    // Pair types 1, 4, 2, 3 with outputs 1,0 and 0xA5,0x01; 58 bits in all.
    std::size_t bits = 0;
    const std::string body = "00000011 00000010 001 1 0 100 10100101 00000001 010 011 0 1 00";
    const std::size_t ones = static_cast<std::size_t>(std::count(body.begin(), body.end(), '1'));
    std::string count;
    for (int j = 7; j >= 0; --j) {
        count += (ones >> j & 1) ? '1' : '0';
    }
    const Bytes request = FromBits(body + count, &bits);
    ASSERT_EQ(bits, 58u);
    const auto answer = module.serve(request, bits);
    ASSERT_TRUE(answer);
    // Status 0; pair 3 (type 2): 1, 0; pair 4: 0x34 then 5, 0xFF then 7; then the count 17.
    EXPECT_EQ(answer->bitCount, 33);
    EXPECT_EQ(answer->bytes, FromBits("0 1 0 00110100 101 11111111 111 00010001"));
    const auto& state = module.state();
    EXPECT_EQ(state.outputs[0], 1);
    EXPECT_EQ(state.outputs[1], 0);
    EXPECT_EQ(state.outputs[2], 0xA5);
    EXPECT_EQ(state.outputs[3], 0x01);
    EXPECT_EQ(state.requestedPairTypes, (PairTypes{1, 4, 2, 3}));
    EXPECT_TRUE(state.bitB);
}

TEST(PointModuleTest, RefusesAWrongCountByteOrAnotherAddressAndKeepsItsState) {
    PointModule module(9, {1, 0, 0, 0});
    std::size_t bits = 0;
    // Output 1,1 with a count one too high.
    const Bytes wrongCount =
        FromBits("00000011 00001001 001 1 1 000 000 000 1 1 00 00001010", &bits);
    EXPECT_FALSE(module.serve(wrongCount, bits));
    const Bytes otherAddress = FromBits("00000011 00001000 000 000 000 000 0 0 00 00000010", &bits);
    EXPECT_FALSE(module.serve(otherAddress, bits));
    const Bytes truncated = FromBits("00000011 00001001 001", &bits);
    EXPECT_FALSE(module.serve(truncated, bits));
    EXPECT_EQ(module.state().outputs[0], 0);
    EXPECT_EQ(module.state().refused, 3u);
    EXPECT_EQ(module.state().answered, 0u);
}

TEST(PointModuleTest, RefusesAMiscountedOrMisshapenStream) {
    PointModule module(9, {0, 0, 0, 0});
    std::size_t bits = 0;
    const Bytes good = FromBits("00000011 00001001 000 000 000 000 1 0 00 00000101", &bits);
    // The count byte must close the stream: more bits claimed, or an extra byte sent.
    EXPECT_FALSE(module.serve(good, bits + 3));
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_FALSE(module.serve(longer, bits));
    // The two bits after A and B are 0, even when the count byte covers them.
    const Bytes padded = FromBits("00000011 00001001 000 000 000 000 1 0 01 00000110", &bits);
    EXPECT_FALSE(module.serve(padded, bits));
    // So are the bits after the count byte, to the end of its byte.
    PointModule oneOutput(9, {1, 0, 0, 0});
    const Bytes request = FromBits("00000011 00001001 001 1 0 000 000 000 0 0 00 00000110", &bits);
    ASSERT_EQ(bits, 42u);
    Bytes trailing = request;
    trailing.back() |= 0x01;
    EXPECT_FALSE(oneOutput.serve(trailing, bits));
    EXPECT_TRUE(oneOutput.serve(request, bits));
    EXPECT_EQ(module.state().refused, 3u);
    EXPECT_TRUE(module.serve(good, 40));
}

// Through the board: 03 seq bitsOut bitsIn param nOut data, fetched with nIn + 4.
TEST(PointModuleOverBoardTest, BitExchangeIsRelayedToTheModule) {
    TemporaryConfigHome home;
    SimulatedBus bus("com3");
    LineClient line(bus.linkPath());
    auto module = bus.addPointModule(9, {5, 0, 0, 0});
    module.setInput(1, 0x81);
    module.setInput(2, 0x02);
    module.setStatusBit(true);

    std::size_t bits = 0;
    const Bytes request = FromBits("00000011 00001001 101 000 000 000 0 1 00 00000111", &bits);
    Bytes payload{0x03, 0x11, static_cast<uint8_t>(bits),
                  25,   0x03, static_cast<uint8_t>(request.size())};
    for (const uint8_t byte : request) {
        payload.push_back(byte);
    }
    ASSERT_EQ(line.exchange(SendFrame(payload), 8).size(), 8u);
    const Bytes reply = line.exchange(FetchFrame(4 + 4), 8 + 5);
    ASSERT_EQ(reply.size(), 13u);
    EXPECT_TRUE(CrcOk(reply));
    // r1 = seq, r2 = 1, r3 = 25 bits, then 1 10000001 00000010 and the count 4.
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.begin() + 7), (Bytes{0x11, 0x01, 25}));
    EXPECT_EQ(Bytes(reply.begin() + 7, reply.begin() + 11),
              FromBits("1 10000001 00000010 00000100"));
    EXPECT_TRUE(module.state().bitB);
    EXPECT_EQ(module.state().answered, 1u);

    // An absent module: the board answers with status 0.
    payload[1] = 0x12;
    payload[7] = 0x08;
    line.exchange(SendFrame(payload), 8);
    const Bytes refused = line.exchange(FetchFrame(8), 13);
    ASSERT_EQ(refused.size(), 13u);
    EXPECT_EQ(Bytes(refused.begin() + 4, refused.begin() + 6), (Bytes{0x12, 0x00}));
}

}  // namespace
}  // namespace baslink::sim::test
