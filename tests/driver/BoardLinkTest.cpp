// The board link's routines on a port object of their own, without the library's
// start: the receive check, the reply wait, the sequence counter and the copy rule
// of a fetched reply.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "BoardLink.h"
#include "Checksums.h"
#include "Driver.h"
#include "PortObjects.h"
#include "ReplyWait.h"
#include "SimulatedBus.h"
#include "PortsFolderTest.h"

namespace {

using namespace baslink;
using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

std::string WithCrc(std::string bytes) {
    const uint16_t crc = Crc16Modbus(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    bytes.push_back(static_cast<char>(crc & 0xFF));
    bytes.push_back(static_cast<char>(crc >> 8));
    return bytes;
}

milliseconds Since(SteadyClock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(SteadyClock::now() - start);
}

// A port object whose component exists but stays closed: its Estado is ours to set.
class ClosedPort : public ::testing::Test {
protected:
    ClosedPort() : port_(5) {
        port_.ComPort = std::make_unique<TThreadComPort>();
        port_.PuertoCreado = 1;
    }
    uint8_t State() const { return port_.ComPort->Estado; }
    void SetState(uint8_t value) { port_.ComPort->Estado = value; }
    void Receive(const std::string& bytes) { RecepcionCrc(port_, *port_.ComPort, bytes); }

    TQDK port_;
};

TEST_F(ClosedPort, ReceiveCheckJudgesTheCollectedBytes) {
    SetState(kStateFrameSent);
    Receive("\x01\x02");  // too short to judge
    EXPECT_EQ(State(), kStateFrameSent);

    Receive(WithCrc(std::string("\x01\x65\x00\x00\x00\x05", 6)));
    EXPECT_EQ(State(), kStateGood);

    std::string corrupted = WithCrc("\x01\x64\x07");
    corrupted.back() ^= 0x01;
    Receive(corrupted);
    EXPECT_EQ(State(), kStateBad);

    // Only the length modulo 256 counts: 256 bytes are too short to judge.
    SetState(kStateFetchSent);
    Receive(WithCrc(std::string(254, '\x33')));
    EXPECT_EQ(State(), kStateFetchSent);
}

TEST_F(ClosedPort, ReceiveCheckIgnoresRepliesWhileTheLibraryStops) {
    SetState(kStateFrameSent);
    Parar = 1;
    Receive(WithCrc("\x01\x65"));
    Parar = 0;
    EXPECT_EQ(State(), kStateFrameSent);
}

TEST_F(ClosedPort, GoodReplyEndsTheWaitAsSoonAsItIsJudged) {
    SetState(kStateFrameSent);
    std::thread reader([this] {
        std::this_thread::sleep_for(milliseconds(100));
        Receive(WithCrc("\x01\x65\x00"));
    });
    const auto start = SteadyClock::now();
    EXPECT_TRUE(EsperarRespuesta(port_, WaitEnd::GoodOnly));
    reader.join();
    EXPECT_GE(Since(start), milliseconds(90));
    EXPECT_LT(Since(start), milliseconds(400));
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

class BoardLinkOnTheLine : public PortsFolderTest {};

TEST_F(BoardLinkOnTheLine, FetchedReplyLandsFromPositionOneWithTheCrcLowByteLast) {
    sim::SimulatedBus bus("com6");
    TQDK port(6);
    ASSERT_TRUE(AbrirPuerto(port, RecepcionCrc));

    const std::string reply = WithCrc("sfc\x10\x11\x12");
    bus.queueRawAnswer(8, sim::Bytes(reply.begin(), reply.end()));
    uint8_t buffer[4] = {0xAB, 0, 0, 0};
    ASSERT_TRUE(RecibirQdk(port, buffer, 3));
    EXPECT_EQ(buffer[0], 0xAB);
    EXPECT_EQ(buffer[1], 0x11);
    EXPECT_EQ(buffer[2], 0x12);
    EXPECT_EQ(buffer[3], static_cast<uint8_t>(reply[6]));
}

}  // namespace
