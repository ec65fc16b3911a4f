// The read cache and the write queue on the static core, against the simulated bus: the
// merging of requests into blocks, the cached reads, the block reads in turn and their
// failure counts, the queued writes, the exports' checks, and the worker's pass, which the
// tests run themselves (no worker thread runs here).

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "BusFrames.h"
#include "DriverObjectsTest.h"
#include "PortObjects.h"
#include "ReadCache.h"
#include "RegulatorAccess.h"
#include "SeccionCritica.h"
#include "SimulatedBus.h"
#include "Timing.h"
#include "WorkerSteps.h"
#include "baslink.h"

namespace {

using namespace baslink;
using sim::Bytes;
using sim::FrameKind;
using sim::LoggedFrame;
using std::chrono::milliseconds;
using baslink::testing::Eventually;
using baslink::testing::TimeOf;

constexpr uint8_t kDirect = 1;
constexpr uint8_t kBoard = 0;

struct Range {
    uint16_t node;
    uint8_t block;
    uint16_t base;
    uint16_t size;
    bool operator==(const Range&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Range& range) {
    return out << "(" << range.node << ", " << int{range.block} << ", " << range.base << ", "
               << range.size << ")";
}

std::vector<Range> RangesOf(const std::vector<AccessRow>& rows) {
    std::vector<Range> ranges;
    for (const AccessRow& row : rows) {
        ranges.push_back({row.node, row.block, row.base, row.size});
    }
    return ranges;
}

void AddRequest(TOrderedList& requests, const Range& range) {
    requests.Add(NewAccess(1, range.node, range.block, range.base, range.size).release());
}

std::vector<Range> RangesIn(TOrderedList& list) {
    std::vector<Range> ranges;
    if (list.First()) {
        do {
            const auto& access = CheckedCast<TAccesoRegulador>(list.GetCurrent());
            ranges.push_back({access.NumVlx, access.Bloque, access.Base, access.Tamanio});
        } while (list.Next());
    }
    return ranges;
}

TEST(RegulatorAccess, RequestsMergeIntoBlocksOfAtMost24Bytes) {
    struct Row {
        const char* name;
        std::vector<Range> requests;
        std::vector<Range> blocks;
    };
    const std::vector<Row> rows{
        {"ranges that touch", {{5, 0, 0, 10}, {5, 0, 10, 10}}, {{5, 0, 0, 20}}},
        {"a gap of one byte", {{5, 0, 0, 10}, {5, 0, 11, 4}}, {{5, 0, 0, 10}, {5, 0, 11, 4}}},
        {"24 bytes in all", {{5, 0, 0, 20}, {5, 0, 16, 8}}, {{5, 0, 0, 24}}},
        {"25 bytes would overlap", {{5, 0, 0, 20}, {5, 0, 16, 9}}, {{5, 0, 0, 20}, {5, 0, 16, 9}}},
        {"inside the block", {{5, 0, 2, 4}, {5, 0, 0, 10}}, {{5, 0, 0, 10}}},
        {"the same range twice", {{5, 0, 4, 2}, {5, 0, 4, 2}}, {{5, 0, 4, 2}}},
        {"other nodes and blocks never share",
         {{6, 0, 4, 4}, {5, 1, 4, 4}, {5, 0, 0, 4}, {5, 0, 4, 4}},
         {{5, 0, 0, 8}, {5, 1, 4, 4}, {6, 0, 4, 4}}},
        {"the next node right after", {{5, 0, 0, 4}, {6, 0, 4, 4}}, {{5, 0, 0, 4}, {6, 0, 4, 4}}},
        {"an end past 65535 does not wrap",
         {{5, 0, 65530, 6}, {5, 0, 65535, 1}},
         {{5, 0, 65530, 6}}},
        {"empty requests", {{5, 0, 8, 0}, {5, 0, 8, 0}}, {{5, 0, 8, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TOrderedList requests(TAccesoRegulador::StaticClass(), CompararAccesos);
        TUnorderedList blocks(TAccesoRegulador::StaticClass());
        for (const Range& range : row.requests) {
            AddRequest(requests, range);
        }
        ReconstruirLecturas(requests, blocks);
        EXPECT_EQ(RangesIn(blocks), row.blocks);
        EXPECT_EQ(requests.Count(), static_cast<int32_t>(row.requests.size()));
    }
}

TEST(RegulatorAccess, RequestsStandInKeyOrderWithTheNewestFirstAmongEqualKeys) {
    TOrderedList requests(TAccesoRegulador::StaticClass(), CompararAccesos);
    for (const Range& range : std::vector<Range>{
             {5, 0, 4, 2}, {5, 0, 4, 6}, {4, 9, 9, 1}, {5, 0, 2, 1}, {5, 1, 0, 1}, {5, 0, 4, 3}}) {
        AddRequest(requests, range);
    }
    EXPECT_EQ(
        RangesIn(requests),
        (std::vector<Range>{
            {4, 9, 9, 1}, {5, 0, 2, 1}, {5, 0, 4, 3}, {5, 0, 4, 6}, {5, 0, 4, 2}, {5, 1, 0, 1}}));
}

class ReadCache : public DriverObjectsTest {
protected:
    ReadCache() { RecordMessages(); }

    // The offsets of the direct reads or writes the bus received, in order.
    std::vector<uint16_t> DirectOffsets(FrameKind kind) const {
        std::vector<uint16_t> offsets;
        for (const LoggedFrame& frame : FramesOf(bus, kind)) {
            offsets.push_back(DirectOffsetOf(frame));
        }
        return offsets;
    }

    static int32_t FailuresOfFirstBlock(uint8_t port) {
        std::lock_guard lock(SeccionCritica);
        return CheckedCast<TAccesoRegulador>(Puertos().Find(port)->Lecturas.GoTo(1)).Fallos;
    }

    sim::SimulatedBus bus{"com1"};
};

TEST_F(ReadCache, ReadsAnswerZerosUntilTheBlockIsReadThenItsBytesInHostOrder) {
    bus.addRegulator(5).setMemory(0, 0x10, {0x34, 0x12, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F});
    AnadirLecturaVLX2(1, 0, 5, 0, 0x10, 8, kDirect, "uno");
    AnadirLecturaVLX2(1, 0, 5, 0, 0x20, 2, kDirect, "dos");
    EXPECT_EQ(LeerVLX2_Long(1, 0, 5, 0, 0x10), 0);
    EXPECT_EQ(CogerEstadoVLX2(1, 5), 1);

    ReadNextBlock(1);
    EXPECT_EQ(LeerVLX2_Integer(1, 0, 5, 0, 0x10), 0x1234);
    EXPECT_EQ(LeerVLX2_Byte(1, 0, 5, 0, 0x11), 0x12);
    EXPECT_EQ(LeerVLX2_Long(1, 0, 5, 0, 0x10), 0x1234);
    EXPECT_EQ(LeerVLX2_Single(1, 0, 5, 0, 0x14), 1.0f);

    uint8_t untouched[4] = {9, 9, 9, 9};
    LeerMemoriaVLX2(1, 0, 5, 0, 0x16, 4, untouched);    // needs both blocks
    LeerMemoriaVLX2(1, 0, 5, 256, 0x10, 2, untouched);  // block 256 is no block 0
    LeerMemoriaVLX2(1, 0, 6, 0, 0x10, 2, untouched);
    EXPECT_EQ(Bytes(untouched, untouched + 4), (Bytes{9, 9, 9, 9}));
    EXPECT_EQ(LeerVLX2_Integer(1, 0, 5, 0, 0x30), 0);
    EXPECT_EQ(messages, std::vector<std::string>{});
}

TEST_F(ReadCache, BlocksAreReadInTurnAndANewRequestStartsAgainAtTheFirst) {
    bus.addRegulator(5);
    for (const uint16_t offset : {0x30, 0x10, 0x20}) {
        AnadirLecturaVLX2(1, 0, 5, 0, offset, 2, kDirect, nullptr);
    }
    for (int read = 0; read < 4; ++read) {
        ReadNextBlock(1);
    }
    EXPECT_EQ(DirectOffsets(FrameKind::DirectRead),
              (std::vector<uint16_t>{0x10, 0x20, 0x30, 0x10}));
    bus.clearFrames();
    AnadirLecturaVLX2(1, 0, 5, 0, 0x40, 2, kDirect, nullptr);
    ReadNextBlock(1);
    EXPECT_EQ(DirectOffsets(FrameKind::DirectRead), (std::vector<uint16_t>{0x10}));
    QuitarVlx2(1, 0, 0);
    ReadNextBlock(1);  // no block: nothing read
    EXPECT_EQ(bus.receivedCount(), 1u);
    EXPECT_EQ(CopyRequests(1).size(), 0u);
}

TEST_F(ReadCache, StatusOfANodeFollowsItsFirstBlock) {
    bus.addRegulator(44);
    bus.addRegulator(300);
    AnadirLecturaVLX2(1, 0, 300, 0, 0, 2, kBoard, nullptr);  // 300 is 44 in its low byte
    EXPECT_EQ(CogerEstadoVLX2(1, 44), 0);
    AnadirLecturaVLX2(1, 0, 44, 0, 0, 2, kBoard, nullptr);
    AnadirLecturaVLX2(1, 0, 44, 3, 0, 2, kBoard, nullptr);  // a second block of node 44
    EXPECT_EQ(CogerEstadoVLX2(1, 44), 1);

    // Blocks 1 and 2 are node 44's; block 3 is node 300's. Only the first block counts.
    bus.injectFault({sim::FaultAction::NoAnswer, {.node = 44, .block = 0}, sim::kEveryFrame});
    const uint8_t expected[] = {1, 1, 0, 0};
    for (const uint8_t state : expected) {
        for (int block = 0; block < 3; ++block) {
            ReadNextBlock(1);
        }
        EXPECT_EQ(CogerEstadoVLX2(1, 44), state);
    }
    EXPECT_EQ(FailuresOfFirstBlock(1), 3);  // four failed reads count 3
    bus.clearFaults();
    ReadNextBlock(1);
    EXPECT_EQ(CogerEstadoVLX2(1, 44), 1);
    EXPECT_EQ(CogerEstadoVLX2(0, 44), 0);
    EXPECT_EQ(CogerEstadoVLX2(21, 44), 0);
}

TEST_F(ReadCache, BlocksOfAPortThatCannotOpenFailAtOnceAtEachTurn) {
    LinkToNothing("com3");
    AnadirLecturaVLX2(3, 0, 5, 0, 0, 2, kDirect, nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com3"});
    EXPECT_EQ(CogerEstadoVLX2(3, 5), 1);
    const auto turns = TimeOf([] {
        for (int read = 0; read < 3; ++read) {
            ReadNextBlock(3);
        }
    });
    EXPECT_EQ(FailuresOfFirstBlock(3), 3);
    EXPECT_EQ(CogerEstadoVLX2(3, 5), 0);
    EXPECT_LT(turns, milliseconds(400));  // no opening pause, no reply wait
    EXPECT_EQ(messages.size(), 1u);       // said once
}

// Five nodes of one block each, on a device that answered once and then went away.
TEST_F(ReadCache, BlocksOfALostDeviceFailAtEachTurnAndAFilledBlockReadsAsFailed) {
    constexpr uint16_t kFirstNode = 5;
    constexpr int kNodes = 5;
    constexpr int32_t kGood = 0x44332211;
    constexpr int32_t kFill = -1;
    struct Round {
        std::vector<uint8_t> states;  // of the nodes after the round
        std::vector<int32_t> values;
    };
    struct Setting {
        const char* name;
        uint8_t fill;
        uint8_t port;
        std::vector<Round> rounds;
    };
    // With the fill on, it comes with the tenth failed read on the port: the fifth node's
    // second, before the block's own count says it failed.
    const Setting settings[] = {
        {"fill on", 1, 2,
         {{{1, 1, 1, 1, 1}, {kGood, kGood, kGood, kGood, kGood}},
          {{1, 1, 1, 1, 0}, {kGood, kGood, kGood, kGood, kFill}},
          {{0, 0, 0, 0, 0}, {kFill, kFill, kFill, kFill, kFill}}}},
        {"fill off", 0, 3,
         {{{1, 1, 1, 1, 1}, {kGood, kGood, kGood, kGood, kGood}},
          {{1, 1, 1, 1, 1}, {kGood, kGood, kGood, kGood, kGood}},
          {{0, 0, 0, 0, 0}, {kGood, kGood, kGood, kGood, kGood}}}},
    };
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.name);
        const uint8_t port = setting.port;
        PonerMemoriACeroSifallo(setting.fill);
        sim::SimulatedBus device("com" + std::to_string(port));
        for (uint16_t node = kFirstNode; node < kFirstNode + kNodes; ++node) {
            device.addRegulator(node).setMemory(0, 0, {0x11, 0x22, 0x33, 0x44});
            AnadirLecturaVLX2(port, 0, node, 0, 0, 4, kDirect, nullptr);
        }
        for (int read = 0; read < kNodes; ++read) {
            ReadNextBlock(port);
        }
        device.stop();
        for (std::size_t round = 0; round < setting.rounds.size(); ++round) {
            for (int read = 0; read < kNodes; ++read) {
                ReadNextBlock(port);
                for (uint16_t node = kFirstNode; node < kFirstNode + kNodes; ++node) {
                    EXPECT_FALSE(LeerVLX2_Long(port, 0, node, 0, 0) == kFill &&
                                 CogerEstadoVLX2(port, node) == 1)
                        << "node " << node << " shows the fill as a good value";
                }
            }
            for (int node = 0; node < kNodes; ++node) {
                SCOPED_TRACE("round " + std::to_string(round + 1) + ", node " +
                             std::to_string(kFirstNode + node));
                EXPECT_EQ(CogerEstadoVLX2(port, kFirstNode + node),
                          setting.rounds[round].states[node]);
                EXPECT_EQ(LeerVLX2_Long(port, 0, kFirstNode + node, 0, 0),
                          setting.rounds[round].values[node]);
            }
        }
    }
}

TEST_F(ReadCache, ABoardExportLeavesADirectPortReadingByItsSum) {
    auto regulator = bus.addRegulator(5);
    regulator.setMemory(0, 0, {1, 2});
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);
    ReadNextBlock(1);
    ASSERT_EQ(LeerVLX2_Integer(1, 0, 5, 0, 0), 0x0201);

    uint8_t eeprom[2] = {};
    ASSERT_EQ(LeerBloqueEpromQDK(1, 8, 2, eeprom), 1);
    ASSERT_EQ(EscribirBloqueEpromQDK(1, 8, 2, eeprom), 1);
    ResetQDK(1);
    regulator.setMemory(0, 0, {3, 4});
    EscribirVLX2_Byte(1, 0, 5, 0, 0x10, 9);
    const auto steps = TimeOf([] {
        SendPendingWrites();
        for (int read = 0; read < 4; ++read) {
            ReadNextBlock(1);
        }
    });
    EXPECT_EQ(LeerVLX2_Integer(1, 0, 5, 0, 0), 0x0403);
    EXPECT_EQ(CogerEstadoVLX2(1, 5), 1);
    EXPECT_EQ(FailuresOfFirstBlock(1), 0);
    EXPECT_EQ(regulator.memory(0, 0x10, 1), Bytes{9});
    EXPECT_LT(steps, milliseconds(400));  // no reply wait ran out
}

TEST_F(ReadCache, TheBlocksOfADeviceThatComesBackAreReadAgainWithoutACall) {
    bus.addRegulator(5).setMemory(0, 0, {1, 2});
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kBoard, nullptr);
    ReadNextBlock(1);
    bus.stop();
    for (int read = 0; read < 3; ++read) {
        ReadNextBlock(1);
    }
    ASSERT_EQ(CogerEstadoVLX2(1, 5), 0);

    sim::SimulatedBus back("com1");
    back.addRegulator(5).setMemory(0, 0, {3, 4});
    EXPECT_TRUE(Eventually(
        [] {
            ReadNextBlock(1);  // the worker's step, no call of the host
            return LeerVLX2_Integer(1, 0, 5, 0, 0) == 0x0403 && CogerEstadoVLX2(1, 5) == 1;
        },
        milliseconds(3000)));
}

TEST_F(ReadCache, QueuedWritesGoOutInCallOrderEachOnceWhateverTheOutcome) {
    auto regulator = bus.addRegulator(5);
    AnadirLecturaVLX2(1, 0, 5, 0, 0x40, 4, kDirect, nullptr);  // opens com1 in direct mode
    bus.clearFrames();
    for (uint8_t value = 1; value <= 3; ++value) {
        EscribirVLX2_Byte(1, 0, 5, 0, 0x50, value);
    }
    EscribirVLX2_Integer(1, 0, 5, 0, 0x60, 0x1234);
    EscribirVLX2_Long(2, 0, 5, 0, 0x70, 7);             // com2 was never opened: dropped unsent
    EscribirMemoriaVLX2(1, 0, 6, 0, 0x80, 0, nullptr);  // no regulator 6: not acknowledged
    EscribirVLX2_Single(1, 0, 5, 0, 0x90, 1.0f);
    EXPECT_EQ(CopyPendingWrites().size(), 7u);

    SendPendingWrites();
    EXPECT_EQ(DirectOffsets(FrameKind::DirectWrite),
              (std::vector<uint16_t>{0x50, 0x50, 0x50, 0x60, 0x80, 0x90}));
    EXPECT_EQ(regulator.memory(0, 0x50, 1), Bytes{3});
    EXPECT_EQ(regulator.memory(0, 0x60, 2), (Bytes{0x34, 0x12}));
    EXPECT_EQ(regulator.memory(0, 0x90, 4), (Bytes{0x00, 0x00, 0x80, 0x3F}));
    EXPECT_EQ(CopyPendingWrites().size(), 0u);
}

TEST_F(ReadCache, ArgumentsAreCheckedInOrderAndARefusedCallChangesNothing) {
    const uint8_t data[25] = {};
    uint8_t read[2] = {};
    struct Row {
        const char* name;
        std::function<void()> call;
        std::string message;
    };
    const std::vector<Row> rows{
        {"request of 25 bytes, port 0", [] { AnadirLecturaVLX2(0, 0, 5, 0, 0, 25, 0, "x"); },
         "DLL Error AnadirLecturaVLX2: Tamaño máximo de paquete 24"},
        {"request on port 0", [] { AnadirLecturaVLX2(0, 0, 5, 0, 0, 24, 0, "x"); },
         "DLL Error AnadirLecturaVLX2: Puerto ha de ser > 0"},
        {"request on port 21", [] { AnadirLecturaVLX2(21, 0, 5, 0, 0, 2, 0, "x"); },
         "DLL Error AnadirLecturaVLX2: Puerto ha de ser < 20"},
        {"forget port 0", [] { QuitarVlx2(0, 0, 0); }, "DLL QuitarVlx2 Puerto ha de ser > 0"},
        {"forget port 21", [] { QuitarVlx2(21, 0, 0); }, "DLL QuitarVlx2 ha de ser < 20"},
        {"typed read on port 0", [] { LeerVLX2_Byte(0, 0, 5, 0, 0); },
         "DLL LeerMemoriaVLX2 Puerto ha de ser > 0"},
        {"read on port 21", [&] { LeerMemoriaVLX2(21, 0, 5, 0, 0, 2, read); },
         "DLL LeerMemoriaVLX2 Puerto ha de ser < 20"},
        {"write of 25 bytes", [&] { EscribirMemoriaVLX2(1, 0, 5, 0, 0, 25, data); },
         "DLL Error EscribirMemoriaVLX2: Tamaño máximo de paquete 24"},
        {"typed write on port 0", [] { EscribirVLX2_Long(0, 0, 5, 0, 0, 1); },
         "DLL EscribirMemoriaVLX2 Puerto ha de ser > 0"},
        {"write on port 21", [&] { EscribirMemoriaVLX2(21, 0, 5, 0, 0, 2, data); },
         "DLL EscribirMemoriaVLX2 Puerto ha de ser < 20"},
        {"window on port 0", [] { MostrarInfoVLX2(0, 0, 0); },
         "DLL MostrarInfoVLX2 Puerto ha de ser > 0"},
        {"window on port 21", [] { MostrarInfoVLX2(21, 0, 0); },
         "DLL MostrarInfoVLX2 Puerto ha de ser < 20"},
        {"window without an application", [] { MostrarInfoVLX2(20, 0, 0); },
         "DLL MostrarInfoVLX2: este programa no muestra ventanas en este hilo; no se abre la "
         "ventana"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        row.call();
        EXPECT_EQ(messages, std::vector<std::string>{row.message});
    }
    EXPECT_EQ(CopyPendingWrites().size(), 0u);
    EXPECT_EQ(bus.receivedCount(), 0u);
}

TEST_F(ReadCache, AStoppingLibraryLeavesTheCacheAndQueueAlone) {
    bus.addRegulator(5).setMemory(0, 0, {7, 7});
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);
    ReadNextBlock(1);
    Parar = 1;
    AnadirLecturaVLX2(1, 0, 5, 0, 8, 2, kDirect, nullptr);
    AnadirLecturaVLX2(0, 0, 5, 0, 8, 30, kDirect, nullptr);
    EscribirVLX2_Byte(1, 0, 5, 0, 0, 1);
    QuitarVlx2(1, 0, 0);
    MostrarInfoVLX2(1, 0, 0);
    EXPECT_EQ(LeerVLX2_Integer(1, 0, 5, 0, 0), 0);
    EXPECT_EQ(CogerEstadoVLX2(1, 5), 0);
    EXPECT_EQ(messages, std::vector<std::string>{});
    EXPECT_EQ(RangesOf(CopyRequests(1)), (std::vector<Range>{{5, 0, 0, 2}}));
    EXPECT_EQ(CopyPendingWrites().size(), 0u);
}

TEST_F(ReadCache, APassPollsEachActiveModuleAtEveryPortStepAndSendsTheQueueAtTheFirst) {
    auto active = bus.addPointModule(2, {0, 0, 0, 0});
    auto inactive = bus.addPointModule(3, {0, 0, 0, 0});
    auto regulator = bus.addRegulator(5);
    EXPECT_FALSE(Pasada());  // nothing to do

    AnadirZOQ(1, 2, 0, 0, 0, 0);
    AnadirZOQ(1, 3, 0, 0, 0, 0);
    PonerEstadoZoq(1, 3, 2, 0, 0);
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kBoard, nullptr);  // opens com1
    EscribirVLX2_Byte(1, 0, 5, 0, 0x10, 1);
    EscribirVLX2_Byte(1, 0, 5, 0, 0x10, 2);
    bus.clearFrames();
    EXPECT_TRUE(Pasada());
    EXPECT_EQ(active.state().answered, 20u);
    EXPECT_EQ(inactive.state().answered, 0u);
    EXPECT_EQ(regulator.memory(0, 0x10, 1), Bytes{2});

    // Each exchange through the board is a send and a fetch; a send's payload command is
    // its byte 7: 3 for a poll, 1 for a memory command.
    std::string commands;
    const auto frames = bus.receivedFrames();
    for (std::size_t frame = 0; frame < frames.size(); frame += 2) {
        commands += std::to_string(frames[frame].bytes[7]);
    }
    // Port 1's step: a poll, the two writes, its block read; then port 2's poll.
    EXPECT_EQ(commands.substr(0, 5), "31113");
    EXPECT_EQ(commands.size(), 20u + 2u + 1u);
}

}  // namespace
