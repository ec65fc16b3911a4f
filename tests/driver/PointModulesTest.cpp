// The point modules on the static core: the bit fields, the request and answer streams,
// the exports' checks and clamps, and polls against the simulated board and modules.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bitset>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BitFields.h"
#include "BitText.h"
#include "BusFrames.h"
#include "DriverObjectsTest.h"
#include "PointModules.h"
#include "SeccionCritica.h"
#include "SimulatedBus.h"
#include "baslink.h"

namespace {

using namespace baslink;
using baslink::testing::FromBits;
using sim::Bytes;
using Values = std::array<uint16_t, 8>;

// Pairs of types 1, 4, 2, 3 at address 2: outputs 1, 0 and 0xA5, 0x01, bit B set.
const char kMixedRequest[] =
    "00000011 00000010 001 1 0 100 10100101 00000001 010 011 0 1 00 00001111";

// The bits of an answer closed by its count of 1-bits, plus `countError`.
Bytes Answer(const std::string& bits, int countError = 0) {
    const auto ones = std::count(bits.begin(), bits.end(), '1') + countError;
    return FromBits(bits + std::bitset<8>(ones).to_string());
}

TDatosZOQ Module(uint8_t address, PairTypes types, Values values = {}) {
    TDatosZOQ module;
    ResetModule(module, 1, address, types);
    module.Valor = values;
    return module;
}

Values ValuesOf(uint8_t port, uint8_t address, Values values = {}) {
    CogerValoresZOQS(port, address, &values[0], &values[1], &values[2], &values[3], &values[4],
                     &values[5], &values[6], &values[7]);
    return values;
}

TEST(BitFields, GoMostSignificantBitFirstAndOverwriteOnlyTheirBits) {
    struct Row {
        const char* name;
        Bytes before;
        std::size_t position;
        uint16_t value;
        int count;
        Bytes after;
        uint16_t readBack;
    };
    const std::vector<Row> rows{
        {"a byte", {0, 0, 0}, 0, 3, 8, {0x03, 0, 0}, 3},
        {"across a byte, over ones", {0xFF, 0xFF, 0xFF}, 6, 0b0110, 4, {0xFD, 0xBF, 0xFF}, 0b0110},
        {"sixteen bits", {0, 0, 0}, 4, 0xA5C3, 16, {0x0A, 0x5C, 0x30}, 0xA5C3},
        {"the low bit of a larger value", {0, 0, 0}, 9, 5, 1, {0, 0x40, 0}, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes buffer = row.before;
        EXPECT_EQ(EscribirBits(buffer.data(), row.position, row.value, row.count),
                  row.position + row.count);
        EXPECT_EQ(buffer, row.after);
        uint16_t value = 0xFFFF;
        EXPECT_EQ(LeerBits(buffer.data(), row.position, value, row.count),
                  row.position + row.count);
        EXPECT_EQ(value, row.readBack);
    }
}

TEST(ZoqStreams, RequestCarriesPairTypesOutputsAndControlBits) {
    struct Row {
        const char* name;
        TDatosZOQ module;
        std::string bits;
        uint16_t bitsToReceive;
    };
    TDatosZOQ unused = Module(9, {0, 0, 0, 0});
    unused.BitA = 1;
    TDatosZOQ mixed = Module(2, {1, 4, 2, 3}, {1, 0, 0xA5, 0x01});
    mixed.BitB = 7;
    const std::vector<Row> rows{
        {"four unused pairs", unused, "00000011 00001001 000 000 000 000 1 0 00 00000101", 9},
        {"pairs 1, 4, 2, 3", mixed, kMixedRequest, 33},
        {"one-bit outputs send the low bit", Module(1, {7, 1, 0, 0}, {5, 2, 1, 0}),
         "00000011 00000001 111 1 0 001 1 0 000 000 0 0 00 00001001", 9},
        {"wide and byte inputs", Module(1, {6, 5, 0, 0}),
         "00000011 00000001 110 101 000 000 0 0 00 00000111", 9 + 22 + 16},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::size_t bits = 0;
        const Bytes expected = FromBits(row.bits, &bits);
        const ZoqRequest request = BuildZoqRequest(row.module);
        EXPECT_EQ(request.bitsToSend, bits);
        EXPECT_EQ(request.bitsToReceive, row.bitsToReceive);
        EXPECT_EQ(Bytes(request.bits.begin(), request.bits.begin() + expected.size()), expected);
        EXPECT_TRUE(std::all_of(request.bits.begin() + expected.size(), request.bits.end(),
                                [](uint8_t byte) { return byte == 0; }));
    }
}

TEST(ZoqStreams, AnswerIsCheckedByItsCountAndStoredPointByPoint) {
    // Pair 1 of type 3 (points 1, 2: 8 low bits, 3 high), pair 2 of type 2 (points 3, 4),
    // pair 3 of type 5 (points 5, 6).
    TDatosZOQ module = Module(1, {3, 2, 5, 0});
    module.Cambio = 0;
    const uint16_t bits = 9 + 22 + 2 + 16;
    struct Row {
        const char* name;
        Bytes answer;
        Values values;
        uint8_t mask;
        uint8_t badAnswers;
    };
    const std::vector<Row> rows{
        {"an eleven-bit input",
         Answer("1 00110100 101 00000000 000 0 0 00000000 00000000"),
         {0x534, 0, 0, 0, 0, 0, 0, 0},
         0x01,
         0},
        {"the second point of a pair alone",
         Answer("1 00110100 101 00000000 000 0 1 00000000 00000000"),
         {0x534, 0, 0, 1, 0, 0, 0, 0},
         0x09,
         0},
        {"a wrong count changes nothing",
         Answer("0 11111111 111 11111111 111 1 1 11111111 11111111", 1),
         {0x534, 0, 0, 1, 0, 0, 0, 0},
         0x09,
         1},
        {"byte inputs",
         Answer("1 00110100 101 00000000 000 0 1 10000001 00000010"),
         {0x534, 0, 0, 1, 0x81, 0x02, 0, 0},
         0x39,
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProcesarRespuestaZoq(row.answer.data(), bits, module);
        EXPECT_EQ(module.Valor, row.values);
        EXPECT_EQ(module.MascaraCambios, row.mask);
        EXPECT_EQ(module.FallosRespuesta, row.badAnswers);
        EXPECT_EQ(module.Cambio, 1);
        EXPECT_EQ(module.BitEstado, 1);
    }
    module.FallosRespuesta = 100;
    ProcesarRespuestaZoq(rows[2].answer.data(), bits, module);
    EXPECT_EQ(module.FallosRespuesta, 100);
}

class PointModules : public DriverObjectsTest {
protected:
    // One poll of the module at `position`, as the worker's step makes it.
    static void Poll(int32_t position = 1) {
        std::lock_guard lock(SeccionCritica);
        TDatosZOQ* module = ListaZoq().ActiveAt(position);
        ASSERT_NE(module, nullptr);
        InterrogarZoq(*module);
    }
};

TEST_F(PointModules, ExportsCheckPortsAndPointsAndKeepOneModulePerKey) {
    Values sevens;
    sevens.fill(7);
    RecordMessages();
    AnadirZOQ(0, 1, 0, 0, 0, 0);
    AnadirZOQ(21, 1, 0, 0, 0, 0);
    EXPECT_EQ(ListaZoq().Count(), 0);
    AnadirZOQ(20, 1, 9, 7, 0, 0);
    EXPECT_EQ(CogerEstadoZoq(20, 1), 0x03);
    ListaZoq().Use(20, 1, [](TDatosZOQ& module) {
        EXPECT_EQ(module.TipoPar, (PairTypes{0, 7, 0, 0}));
    });
    for (const uint16_t point : {0, 9}) {
        PonerValorZOQ(20, 1, point, 1);
        CogerValorZOQ(20, 1, point, 0);
    }
    CogerValorZOQ(20, 1, 3, 0);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "DLL AnadirZOQ: Puerto ha de ser > 0",
                            "DLL AnadirZOQ: Puerto ha de ser < 20",
                            "DLL PonerValorZOQ: Punto ha de estar entre 1 y 8",
                            "DLL CogerValorZOQ: Punto ha de estar entre 1 y 8",
                            "DLL PonerValorZOQ: Punto ha de estar entre 1 y 8",
                            "DLL CogerValorZOQ: Punto ha de estar entre 1 y 8",
                        }));

    // Activo other than 1 shows but is not polled; bit B comes before bit A.
    PonerValorZOQ(20, 1, 3, 1);
    PonerEstadoZoq(20, 1, 2, 1, 0);
    EXPECT_EQ(CogerEstadoZoq(20, 1), 0x13);
    PonerEstadoZoq(20, 1, 2, 0, 1);
    EXPECT_EQ(CogerEstadoZoq(20, 1), 0x07);
    EXPECT_EQ(ListaZoq().ActiveAt(1), nullptr);
    // Added again: reset in place, active and changed.
    AnadirZOQ(20, 1, 0, 0, 0, 0);
    EXPECT_EQ(ListaZoq().Count(), 1);
    EXPECT_EQ(CogerEstadoZoq(20, 1), 0x03);
    EXPECT_EQ(ValuesOf(20, 1, sevens), Values{});

    // Another key is another module; an unknown one reads as nothing.
    AnadirZOQ(20, 2, 0, 0, 0, 0);
    EXPECT_EQ(ListaZoq().Count(), 2);
    EXPECT_EQ(CogerEstadoZoq(19, 1), 0);
    EXPECT_EQ(ValuesOf(19, 1, sevens), sevens);
}

TEST_F(PointModules, SetValuesAreClampedByPairTypeAndInputsKeepTheirs) {
    AnadirZOQ(1, 5, 1, 4, 7, 2);
    PonerValoresZOQS(1, 5, 5, 1, 300, 5, 5, 300, 9, 9);
    EXPECT_EQ(ValuesOf(1, 5), (Values{1, 1, 255, 5, 5, 300, 0, 0}));
    PonerValorZOQ(1, 5, 3, 256);
    PonerValorZOQ(1, 5, 2, 0);
    PonerValorZOQ(1, 5, 8, 1);
    EXPECT_EQ(ValuesOf(1, 5), (Values{1, 0, 255, 5, 5, 300, 0, 0}));
}

TEST_F(PointModules, APollCarriesTheOutputsAndStoresTheInputs) {
    sim::SimulatedBus bus("com1");
    auto device = bus.addPointModule(2, {1, 4, 2, 3});
    device.setInput(5, 1);
    device.setInput(7, 0x534);
    device.setInput(8, 0x7FF);
    device.setStatusBit(true);

    AnadirZOQ(1, 2, 1, 4, 2, 3);
    PonerValoresZOQS(1, 2, 1, 0, 0xA5, 1, 0, 0, 0, 0);
    PonerEstadoZoq(1, 2, 1, 1, 0);
    Poll();

    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 2u);
    Bytes payload{3, 1, 58, 33, 3, 8};
    const Bytes request = FromBits(kMixedRequest);
    payload.insert(payload.end(), request.begin(), request.end());
    EXPECT_EQ(PayloadOf(received[0]), payload);
    EXPECT_EQ(FetchLengthOf(received[1]), 5 + 4);  // the answer's 5 bytes and the head

    const sim::PointModuleState state = device.state();
    EXPECT_EQ(state.outputs, (Values{1, 0, 0xA5, 1, 0, 0, 0, 0}));
    EXPECT_TRUE(state.bitB);
    EXPECT_EQ(ValuesOf(1, 2), (Values{1, 0, 0xA5, 1, 1, 0, 0x534, 0x7FF}));
    EXPECT_EQ(CogerEstadoZoq(1, 2), 0x1B);  // active, changed, status bit, bit B
    ListaZoq().Use(1, 2, [](TDatosZOQ& module) { EXPECT_EQ(module.MascaraCambios, 0xD0); });
}

TEST_F(PointModules, FailedExchangesAndBadAnswersRaiseTheirStatusBits) {
    sim::SimulatedBus bus("com1");
    // The module on the bus has an input pair the driver does not know of: its answers
    // are two bits longer than expected.
    bus.addPointModule(4, {0, 0, 0, 2}).setInput(7, 1);
    AnadirZOQ(1, 4, 0, 0, 0, 0);

    bus.injectFault({sim::FaultAction::NoAnswer, {.kind = sim::FrameKind::BoardSend}, 3});
    for (int poll = 1; poll <= 3; ++poll) {
        EXPECT_EQ(CogerEstadoZoq(1, 4) & 0x40, 0) << "poll " << poll;
        Poll();
    }
    EXPECT_EQ(CogerEstadoZoq(1, 4), 0x43);

    for (int poll = 1; poll <= 11; ++poll) {
        Poll();
        EXPECT_EQ(CogerEstadoZoq(1, 4), poll <= 10 ? 0x03 : 0x23) << "poll " << poll;
    }
    EXPECT_EQ(ValuesOf(1, 4), Values{});

    bus.addPointModule(4, {0, 0, 0, 0}).setStatusBit(true);
    Poll();
    EXPECT_EQ(CogerEstadoZoq(1, 4), 0x0B);
}

TEST_F(PointModules, ReadersNeitherWaitForAPollNorRaceTheListOrItsStores) {
    sim::SimulatedBus bus("com1");
    auto device = bus.addPointModule(2, {3, 3, 3, 3});
    AnadirZOQ(1, 2, 3, 3, 3, 3);
    Poll();  // opens the port

    std::atomic<bool> polling{false};
    std::atomic<bool> done{false};
    std::atomic<int> readsDuringPolls{0};
    std::thread worker([&] {
        std::lock_guard lock(SeccionCritica);
        polling = true;
        // 20 polls, and more until a read has run beside one: a loaded machine may not run
        // the reader during the first 20.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (uint16_t value = 1;
             value <= 20 ||
             (readsDuringPolls == 0 && std::chrono::steady_clock::now() < deadline);
             ++value) {
            device.setInput(value % 8 + 1, value);
            InterrogarZoq(*ListaZoq().ActiveAt(1));
        }
        polling = false;
        done = true;
    });
    while (!done) {
        const bool before = polling;
        CogerEstadoZoq(1, 2);
        ValuesOf(1, 2);
        readsDuringPolls += before && polling ? 1 : 0;
    }
    worker.join();
    EXPECT_GT(readsDuringPolls, 0);

    std::thread adder([] {
        for (uint8_t address = 10; address < 60; ++address) {
            AnadirZOQ(1, address, 0, 0, 0, 0);
        }
    });
    while (ListaZoq().Count() < 51) {
        EXPECT_EQ(CogerEstadoZoq(1, 2) & 0x01, 0x01);
        CogerEstadoZoq(1, 59);
    }
    adder.join();
    EXPECT_EQ(CogerEstadoZoq(1, 59), 0x03);
}

}  // namespace
