// The board link's routines and the exchange step beneath them, on port objects of
// their own, without the library's start: the receive check, the reply wait, the
// sequence counter, the copy rule of a fetched reply and the end rules of the step.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "BoardLink.h"
#include "Checksums.h"
#include "Driver.h"
#include "PortObjects.h"
#include "PortsFolderTest.h"
#include "ReplyWait.h"
#include "SimulatedBus.h"
#include "Timing.h"

namespace {

using namespace baslink;
using baslink::testing::Eventually;
using baslink::testing::Since;
using baslink::testing::SteadyClock;
using std::chrono::milliseconds;

std::string WithCrc(std::string bytes) {
    const uint16_t crc = Crc16Modbus(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    bytes.push_back(static_cast<char>(crc & 0xFF));
    bytes.push_back(static_cast<char>(crc >> 8));
    return bytes;
}

// The receive check judges what a component has collected; a closed component will do.
class ReceiveCheck : public ::testing::Test {
protected:
    void Receive(const std::string& bytes) { RecepcionCrc(port_, sender_, bytes); }

    TQDK port_{5};
    TThreadComPort sender_;
};

TEST_F(ReceiveCheck, JudgesTheCollectedBytes) {
    sender_.Estado = kStateFrameSent;
    Receive("\x01\x02");  // too short to judge
    EXPECT_EQ(sender_.Estado, kStateFrameSent);

    Receive(WithCrc(std::string("\x01\x65\x00\x00\x00\x05", 6)));
    EXPECT_EQ(sender_.Estado, kStateGood);

    std::string corrupted = WithCrc("\x01\x64\x07");
    corrupted.back() ^= 0x01;
    Receive(corrupted);
    EXPECT_EQ(sender_.Estado, kStateBad);

    // Only the length modulo 256 counts: 256 bytes are too short to judge.
    sender_.Estado = kStateFetchSent;
    Receive(WithCrc(std::string(254, '\x33')));
    EXPECT_EQ(sender_.Estado, kStateFetchSent);
}

TEST_F(ReceiveCheck, IgnoresRepliesWhileTheLibraryStops) {
    sender_.Estado = kStateFrameSent;
    Parar = 1;
    Receive(WithCrc("\x01\x65"));
    Parar = 0;
    EXPECT_EQ(sender_.Estado, kStateFrameSent);
}

TEST(ReplyWait, AReplyJudgedBeforeTheWaitBeganEndsItAtOnce) {
    ReplyNotice notice;
    const auto start = SteadyClock::now();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(EsperarRespuesta(notice, [] { return ReplyVerdict::Good; }));
    }
    // A wait that slept before looking would cost a millisecond or more each time.
    EXPECT_LT(Since(start), milliseconds(200));
}

TEST(ReplyWait, EndsAsSoonAsTheReplyIsJudgedAndFailsOnABadOne) {
    for (const ReplyVerdict judged : {ReplyVerdict::Good, ReplyVerdict::Bad}) {
        SCOPED_TRACE(judged == ReplyVerdict::Good ? "good" : "bad");
        ReplyNotice notice;
        std::atomic<ReplyVerdict> verdict{ReplyVerdict::Pending};
        std::thread reader([&] {
            std::this_thread::sleep_for(milliseconds(100));
            notice.Update([&] { verdict = judged; });
        });
        const auto start = SteadyClock::now();
        EXPECT_EQ(EsperarRespuesta(notice, [&] { return verdict.load(); }),
                  judged == ReplyVerdict::Good);
        reader.join();
        EXPECT_GE(Since(start), milliseconds(90));
        EXPECT_LT(Since(start), milliseconds(400));
    }
}

TEST(ReplyWait, GivesUpOnceItsTimeHasPassed) {
    ReplyNotice notice;
    for (const uint32_t limit : {500u, 60u}) {
        const auto start = SteadyClock::now();
        EXPECT_FALSE(EsperarRespuesta(
            notice, [] { return ReplyVerdict::Pending; }, limit));
        EXPECT_GE(Since(start), milliseconds(limit));
        EXPECT_LT(Since(start), milliseconds(limit + 400));
    }
}

TEST(BoardLink, SendAndFetchFailAtOnceBeforeThePortIsCreated) {
    TQDK port(2);
    const uint8_t payload[] = {7, 7, 7, 7, 7};
    uint8_t buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    const auto start = SteadyClock::now();
    EXPECT_FALSE(EnviarQdk(port, payload, sizeof payload));
    EXPECT_FALSE(RecibirQdk(port, buffer, 3));
    EXPECT_LT(Since(start), milliseconds(100));
    EXPECT_EQ(buffer[1], 0xAA);
}

TEST(BoardLink, SequenceRunsOneToTwoHundredAndStartsAgain) {
    TQDK port(1);
    for (int call = 1; call <= 200; ++call) {
        ASSERT_EQ(SiguienteSecuencia(port), call);
    }
    EXPECT_EQ(SiguienteSecuencia(port), 1);
    EXPECT_EQ(SiguienteSecuencia(port), 2);
}

// A port object of its own, opened on a simulated bus.
class OnTheLine : public PortsFolderTest {
protected:
    void SetUp() override { ASSERT_TRUE(port_.AbrirPuerto(RecepcionCrc)); }

    sim::SimulatedBus bus_{"com6"};
    TQDK port_{6};
    static constexpr uint8_t kRequest[] = {0xAA, 0xBB, 0xCC};
};

TEST_F(OnTheLine, FetchedReplyLandsFromPositionOneWithTheCrcLowByteLast) {
    const std::string reply = WithCrc("sfc\x10\x11\x12");
    bus_.queueRawAnswer(8, sim::Bytes(reply.begin(), reply.end()));
    uint8_t buffer[4] = {0xAB, 0, 0, 0};
    ASSERT_TRUE(RecibirQdk(port_, buffer, 3));
    EXPECT_EQ(buffer[0], 0xAB);
    EXPECT_EQ(buffer[1], 0x11);
    EXPECT_EQ(buffer[2], 0x12);
    EXPECT_EQ(buffer[3], static_cast<uint8_t>(reply[6]));
}

// The rule of the raw exchanges: a count of bytes, whatever they hold.
TEST_F(OnTheLine, ByteCountEndsOnExactlyTheCountAndHandsBackWhatCameOnTimeout) {
    bus_.queueRawAnswer(3, {1, 2, 3, 4});
    ExchangeReply reply = port_.Exchange(
        {.expectedLength = 4, .frame = kRequest, .end = ReplyEnd::ByteCount, .timeoutMs = 2000});
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.bytes, "\x01\x02\x03\x04");

    // Nothing sent: the bytes already collected since the last send count.
    reply = port_.Exchange({.expectedLength = 4, .end = ReplyEnd::ByteCount, .timeoutMs = 50});
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.bytes, "\x01\x02\x03\x04");

    // Five bytes in one delivery never make exactly four.
    bus_.queueRawAnswer(3, {5, 6, 7, 8, 9});
    const auto start = SteadyClock::now();
    reply = port_.Exchange(
        {.expectedLength = 4, .frame = kRequest, .end = ReplyEnd::ByteCount, .timeoutMs = 150});
    EXPECT_FALSE(reply.ok);
    EXPECT_GE(Since(start), milliseconds(150));
    EXPECT_EQ(reply.bytes, "\x05\x06\x07\x08\x09");
    EXPECT_EQ(bus_.receivedCount(), 2u);
}

// A check of bytes that came after an earlier send, still running while the next exchange
// is set up, must not settle that exchange. This check stalls until the next exchange has
// set its state (or a while has passed), then calls the bytes good.
std::atomic<bool> staleCheckEntered{false};
void StallingCheck(TQDK&, TThreadComPort& sender, const std::string&) {
    staleCheckEntered = true;
    Eventually([&] { return sender.Estado == kStateFrameSent; }, milliseconds(300));
    sender.Estado = kStateGood;
}

TEST_F(OnTheLine, ALateCheckOfAnEarlierSendNeverSettlesTheNextExchange) {
    bus_.queueRawAnswer(3, {1, 2, 3, 4});
    ASSERT_TRUE(
        port_.Exchange({.expectedLength = 4, .frame = kRequest, .end = ReplyEnd::ByteCount}).ok);

    ASSERT_TRUE(port_.AbrirPuerto(StallingCheck));
    bus_.queueRawAnswer(0, {5});  // a late byte for the exchange that has ended
    ASSERT_TRUE(Eventually([] { return staleCheckEntered.load(); }));
    // Nobody answers this one.
    EXPECT_FALSE(port_.Exchange({.expectedLength = 8, .frame = kRequest, .timeoutMs = 100}).ok);
}

}  // namespace
