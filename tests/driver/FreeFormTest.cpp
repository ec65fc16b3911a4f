// The free-form exchanges on the static core against the simulated board: the command-3
// payload and fetch, the library-wide reply store, the raw exchange's count-based wait.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "BusFrames.h"
#include "DriverObjectsTest.h"
#include "PortObjects.h"
#include "SimulatedBus.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using namespace baslink;
using baslink::testing::Since;
using baslink::testing::SteadyClock;
using sim::Bytes;
using sim::FaultAction;
using sim::FrameKind;
using std::chrono::milliseconds;

// The request of a point module at address 9 with four unused pairs, and its answer when
// its status bit is set (status 1, count 1).
const Bytes kModuleRequest{0x03, 0x09, 0x00, 0x00, 0x04};
const Bytes kModuleAnswer{0x80, 0x80};

uint16_t StatusFor(uint16_t bits, uint8_t* buffer = nullptr) {
    uint16_t status = 0xFFFF;
    EXPECT_EQ(DevolverCommLibre(&status, &bits, buffer), 1);
    return status;
}

class FreeForm : public DriverObjectsTest {
protected:
    FreeForm() { bus.addPointModule(9, {0, 0, 0, 0}).setStatusBit(true); }

    // One exchange with the module's request in a buffer of `size` bytes filled with 0xEE.
    static uint16_t ExchangeModuleRequest(uint16_t bitsToReceive, Bytes& buffer,
                                          std::size_t size = 8) {
        buffer.assign(size, 0xEE);
        std::copy(kModuleRequest.begin(), kModuleRequest.end(), buffer.begin());
        return PedirCommLibre(1, 0, 40, bitsToReceive, 3, buffer.data());
    }

    // With the module of kModuleRequest.
    sim::SimulatedBus bus{"com1"};
};

TEST_F(FreeForm, BitExchangeSendsCommandThreeAndKeepsTheAcceptedAnswer) {
    struct Row {
        const char* name;
        uint16_t bitsToSend;
        uint16_t bitsToReceive;
        Bytes buffer;
        Bytes payloadHead;  // after the sequence byte
        uint16_t fetchLength;
        Bytes bufferAfter;
        uint16_t keptBits;
    };
    const std::vector<Row> rows{
        {"a module's request",
         40,
         9,
         {3, 9, 0, 0, 4, 0xEE},
         {40, 9, 3, 5, 3, 9, 0, 0, 4},
         6,
         {0x80, 0x80, 0, 0, 0, 0xEE},
         9},
        // 5 bytes are fetched and copied: the answer and the board's padding.
        {"no bits to receive",
         40,
         0,
         {3, 9, 0, 0, 4, 0xEE},
         {40, 0, 3, 5, 3, 9, 0, 0, 4},
         9,
         {0x80, 0x80, 0, 0, 0, 0xEE},
         9},
        // The board refuses what reaches no module: the buffer is never written.
        {"no bits to send", 0, 9, {0xEE, 0xEE}, {0, 9, 0xA7, 0}, 6, {0xEE, 0xEE}, 0},
        {"thirteen bits to send",
         13,
         9,
         {0x12, 0x34, 0x56},
         {13, 9, 0, 2, 0x12, 0x34},
         6,
         {0, 0, 0x56},
         0},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        bus.clearFrames();
        Bytes buffer = row.buffer;
        const uint8_t parameter = row.payloadHead[2];
        EXPECT_EQ(PedirCommLibre(1, 0, row.bitsToSend, row.bitsToReceive, parameter, buffer.data()),
                  1);
        EXPECT_EQ(buffer, row.bufferAfter);

        const auto received = bus.receivedFrames();
        ASSERT_EQ(received.size(), 2u);
        Bytes payloadHead{3, static_cast<uint8_t>(i + 1)};
        payloadHead.insert(payloadHead.end(), row.payloadHead.begin(), row.payloadHead.end());
        EXPECT_EQ(PayloadOf(received[0]), payloadHead);
        EXPECT_EQ(FetchLengthOf(received[1]), row.fetchLength);
        EXPECT_EQ(StatusFor(row.keptBits), 0x80);
    }
}

TEST_F(FreeForm, AnAnswerNotAcceptedLeavesTheStoreEmpty) {
    struct Row {
        const char* name;
        sim::Fault fault;
        uint16_t result;
    };
    const std::vector<Row> rows{
        {"wrong sequence echo", {FaultAction::WrongSequence, {.kind = FrameKind::BoardFetch}}, 1},
        {"status not 1", {FaultAction::StatusZero, {.kind = FrameKind::BoardFetch}}, 1},
        {"no acknowledgement", {FaultAction::NoAnswer, {.kind = FrameKind::BoardSend}}, 0},
        {"no fetch reply", {FaultAction::NoAnswer, {.kind = FrameKind::BoardFetch}}, 0},
    };
    Bytes buffer;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(ExchangeModuleRequest(9, buffer), 1);
        ASSERT_EQ(StatusFor(9), 0x80);

        bus.injectFault(row.fault);
        EXPECT_EQ(ExchangeModuleRequest(9, buffer), row.result);
        EXPECT_EQ(buffer, (Bytes{0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE}));
        EXPECT_EQ(StatusFor(9), 0);
        uint8_t untouched = 0x5A;
        EXPECT_EQ(StatusFor(0, &untouched), 0x80);
        EXPECT_EQ(untouched, 0x5A);
    }
}

TEST_F(FreeForm, DevolverCommLibreCopiesNoMoreThanTheStore) {
    // Before any exchange: an empty store of zeros.
    std::vector<uint8_t> buffer(300, 0xEE);
    EXPECT_EQ(StatusFor(16, buffer.data()), 0);
    EXPECT_EQ(StatusFor(0), 0x80);

    Bytes answer;
    ASSERT_EQ(ExchangeModuleRequest(9, answer), 1);
    EXPECT_EQ(StatusFor(0xFFFF, buffer.data()), 0);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{0x80, 0x80, 0}));
    EXPECT_EQ(buffer[255], 0);
    EXPECT_EQ(Bytes(buffer.begin() + 256, buffer.end()), Bytes(44, 0xEE));
}

TEST_F(FreeForm, BitCountsThatCannotTravelAreRefusedBeforeAnythingIsSent) {
    struct Row {
        const char* name;
        uint16_t bitsToSend;
        uint16_t bitsToReceive;
        uint8_t nOut;          // payload byte 5
        uint16_t fetchLength;  // 0: refused, nothing sent
        uint16_t statusAfter;  // of DevolverCommLibre for the 9 bits kept before
    };
    // The byte counts come from the whole bit counts, not from their low bytes.
    const std::vector<Row> rows{
        {"request above 240 bytes", 1921, 9, 0, 0, 0},
        {"answer above 246 bytes", 40, 1969, 0, 0, 0},
        {"request of 240 bytes", 1920, 9, 240, 2 + 4, 0},  // the module refuses it
        {"answer of 246 bytes", 40, 1968, 5, 246 + 4, 0x80},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes kept;
        ASSERT_EQ(ExchangeModuleRequest(9, kept), 1);
        bus.clearFrames();
        std::vector<uint8_t> buffer(256, 0xEE);
        std::copy(kModuleRequest.begin(), kModuleRequest.end(), buffer.begin());
        const std::vector<uint8_t> before = buffer;
        const bool sent = row.fetchLength != 0;
        EXPECT_EQ(PedirCommLibre(1, 0, row.bitsToSend, row.bitsToReceive, 3, buffer.data()),
                  sent ? 1 : 0);
        const auto received = bus.receivedFrames();
        if (sent) {
            ASSERT_EQ(received.size(), 2u);
            const Bytes payload = PayloadOf(received[0]);
            EXPECT_EQ(payload[5], row.nOut);
            EXPECT_EQ(payload.size(), 6u + row.nOut);
            EXPECT_EQ(FetchLengthOf(received[1]), row.fetchLength);
        } else {
            EXPECT_TRUE(received.empty());
            EXPECT_EQ(buffer, before);
        }
        // A refused request forgets the kept answer as any other exchange does.
        EXPECT_EQ(StatusFor(9), row.statusAfter);
    }
}

TEST_F(FreeForm, AStoppingLibrarySendsNothingButTheStoreStillAnswers) {
    Bytes buffer;
    ASSERT_EQ(ExchangeModuleRequest(9, buffer), 1);
    bus.clearFrames();
    Parar = 1;
    buffer = kModuleRequest;
    EXPECT_EQ(PedirCommLibre(1, 0, 40, 9, 3, buffer.data()), 0);
    EXPECT_EQ(PedirCommLibreRs(1, 5, 2, 100, buffer.data()), 0);
    EXPECT_EQ(buffer, kModuleRequest);
    EXPECT_EQ(bus.receivedCount(), 0u);
    EXPECT_EQ(StatusFor(9, buffer.data()), 0x80);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 2), kModuleAnswer);
}

TEST_F(FreeForm, ABitExchangeOnAPortThatCannotOpenStillClearsItsRequestBytes) {
    RecordMessages();
    LinkToNothing("com2");
    Bytes buffer(4, 0xAB);
    EXPECT_EQ(PedirCommLibre(2, 0, 16, 8, 3, buffer.data()), 0);
    EXPECT_EQ(buffer, (Bytes{0, 0, 0xAB, 0xAB}));
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com2"});
}

TEST_F(FreeForm, AStopEndsARawExchangeThatWaitsForItsLongTime) {
    bus.queueRawAnswer(1, {});
    auto exchange = std::async(std::launch::async, [] {
        uint8_t buffer[4] = {7};
        return PedirCommLibreRs(1, 1, 4, 60000, buffer);
    });
    ASSERT_TRUE(bus.waitForReceived(1, std::chrono::seconds(5)));
    Parar = 1;
    ASSERT_EQ(exchange.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(exchange.get(), 0);
}

TEST_F(FreeForm, RawExchangeWritesUncheckedBytesAndSharesThePortWithTheBoardLink) {
    Bytes buffer{0x0A, 0x0B, 0x0C, 0x00};
    bus.queueRawAnswer(3, {1, 2, 3, 4});
    EXPECT_EQ(PedirCommLibreRs(1, 3, 4, 500, buffer.data()), 4);
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));
    ASSERT_EQ(bus.receivedFrames().size(), 1u);
    EXPECT_EQ(bus.receivedFrames()[0].bytes, (Bytes{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(Puertos().Find(1)->ModoDirecto, 1);

    // Board mode, then direct mode again, on the same port; each stays set.
    EXPECT_EQ(ExchangeModuleRequest(9, buffer), 1);
    EXPECT_EQ(StatusFor(9), 0x80);
    EXPECT_EQ(Puertos().Find(1)->ModoDirecto, 0);
    bus.queueRawAnswer(1, {9});
    buffer = {5};
    EXPECT_EQ(PedirCommLibreRs(1, 1, 1, 500, buffer.data()), 1);
    EXPECT_EQ(buffer, Bytes{9});
}

TEST_F(FreeForm, RawExchangeWaitsForExactlyTheCountCollectedSinceTheLastSend) {
    Bytes buffer{1, 2, 0, 0};
    // Six bytes in one delivery when four are asked: the count is never seen.
    bus.queueRawAnswer(2, {1, 2, 3, 4, 5, 6});
    auto start = SteadyClock::now();
    EXPECT_EQ(PedirCommLibreRs(1, 2, 4, 300, buffer.data()), 0);
    EXPECT_GE(Since(start), milliseconds(300));
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));

    // Nothing sent: the six bytes already collected are the answer.
    buffer.assign(6, 0);
    start = SteadyClock::now();
    EXPECT_EQ(PedirCommLibreRs(1, 0, 6, 300, buffer.data()), 6);
    EXPECT_LT(Since(start), milliseconds(250));
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4, 5, 6}));

    // A count of 0 is never seen while bytes are collected...
    start = SteadyClock::now();
    EXPECT_EQ(PedirCommLibreRs(1, 0, 0, 300, buffer.data()), 0);
    EXPECT_GE(Since(start), milliseconds(300));
    // ...and is seen at once after a send that nothing answers.
    bus.queueRawAnswer(1, {});
    start = SteadyClock::now();
    EXPECT_EQ(PedirCommLibreRs(1, 1, 0, 300, buffer.data()), 0);
    EXPECT_LT(Since(start), milliseconds(250));

    // A short answer: what came is copied over the zeroed request bytes.
    buffer = {9, 9, 9, 9};
    bus.queueRawAnswer(3, {7});
    EXPECT_EQ(PedirCommLibreRs(1, 3, 4, 100, buffer.data()), 0);
    EXPECT_EQ(buffer, (Bytes{7, 0, 0, 9}));
}

TEST_F(FreeForm, TheStoreIsNeverSeenHalfWritten) {
    // Two modules whose answers differ in length and content.
    bus.addPointModule(10, {5, 0, 0, 0}).setInput(1, 0xFF);
    const Bytes otherRequest{0x03, 0x0A, 0xA0, 0x00, 0x06};  // pair 1 of type 5, count 6
    std::atomic<bool> done{false};
    std::atomic<int> whole{0};
    std::thread exchanges([&] {
        // 40 exchanges, and more until the reader has met a whole answer: a loaded machine
        // may not run the reader during the first 40.
        const auto deadline = SteadyClock::now() + std::chrono::seconds(10);
        for (int i = 0; i < 40 || (whole == 0 && SteadyClock::now() < deadline); ++i) {
            Bytes buffer(8);
            std::copy(i % 2 ? otherRequest.begin() : kModuleRequest.begin(),
                      i % 2 ? otherRequest.end() : kModuleRequest.end(), buffer.begin());
            EXPECT_EQ(PedirCommLibre(1, 0, 40, i % 2 ? 25 : 9, 3, buffer.data()), 1);
        }
        done = true;
    });
    while (!done) {
        uint8_t buffer[2] = {};
        if (StatusFor(9, buffer) == 0x80) {
            ASSERT_EQ(Bytes(buffer, buffer + 2), kModuleAnswer);
            ++whole;
        }
    }
    exchanges.join();
    EXPECT_GT(whole, 0);
}

}  // namespace
