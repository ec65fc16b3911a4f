// The regulator memory routines on port objects of their own, without the library's
// start: the direct receive check, the counters' steps and caps, a port without its
// serial component and the stop flag.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "BoardLink.h"
#include "BoardMemory.h"
#include "DirectFrames.h"
#include "Driver.h"
#include "LinkMode.h"
#include "PortObjects.h"
#include "PortsFolderTest.h"
#include "ReplyWait.h"
#include "SimulatedBus.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using namespace baslink;
using baslink::testing::Since;
using baslink::testing::SteadyClock;
using std::chrono::milliseconds;

// Restores the stop flag that a test raised.
struct StoppingLibrary {
    StoppingLibrary() { Parar = 1; }
    ~StoppingLibrary() { Parar = 0; }
};

TEST(DirectReceiveCheck, JudgesTheEightBitSumOfWhatWasCollected) {
    TQDK port(5);
    TThreadComPort sender;
    struct Row {
        const char* name;
        std::string bytes;
        uint8_t state;
    };
    const Row rows[] = {
        {"too short to judge", std::string("\x05\x05", 2), kStateFrameSent},
        {"good sum", std::string("\x05\x01\x10\x16", 4), kStateGood},
        {"sum wraps at 256", std::string("\xF0\x20\x10", 3), kStateGood},
        {"bad sum", std::string("\x05\x01\x10\x17", 4), kStateBad},
        // Only the length modulo 256 counts: 257 bytes are too short to judge.
        {"length modulo 256", std::string(257, '\0'), kStateFrameSent},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sender.Estado = kStateFrameSent;
        RecepcionSuma(port, sender, row.bytes);
        EXPECT_EQ(sender.Estado, row.state);
    }
    const StoppingLibrary stopping;
    sender.Estado = kStateFrameSent;
    RecepcionSuma(port, sender, std::string("\x05\x01\x10\x16", 4));
    EXPECT_EQ(sender.Estado, kStateFrameSent);
}

// Without a serial component every exchange fails at once, which makes the caps quick to
// reach.
TEST(RegulatorMemoryRoutines, FailureCountersStopAtTheirCaps) {
    TQDK port(3);
    uint8_t destination[2] = {0x11, 0x22};
    for (int failure = 1; failure <= 150; ++failure) {
        ASSERT_FALSE(LeerMemoriaQdk(port, 5, 0, 0, 2, destination));
    }
    EXPECT_EQ(port.FallosQdk, 100);
    EXPECT_EQ(port.FallosLectura, 10);
    EXPECT_EQ(destination[0], 0xFF);
    EXPECT_EQ(destination[1], 0xFF);

    // Writes count link failures only.
    port.FallosLectura = 3;
    const uint8_t source[2] = {1, 2};
    EXPECT_FALSE(EscribirMemoriaQdk(port, 5, 0, 0, 2, source));
    EXPECT_EQ(port.FallosQdk, 100);
    EXPECT_EQ(port.FallosLectura, 3);
}

class RegulatorMemoryOnTheLine : public PortsFolderTest {};

// Each frame that goes through clears FallosQdk, so only a failure after it counts; a
// refused reply is no link failure. Every failed read counts in FallosLectura, a good
// read in either mode clears it, and writes leave it alone.
TEST_F(RegulatorMemoryOnTheLine, CountersStepAndClearFrameByFrame) {
    sim::SimulatedBus bus("com7");
    bus.addRegulator(5);
    TQDK port(7);
    uint8_t byte = 0;
    const uint8_t value = 1;
    const auto read = [&] { return LeerMemoriaQdk(port, 5, 0, 0, 1, &byte); };
    const auto write = [&] { return EscribirMemoriaQdk(port, 5, 0, 0, 1, &value); };
    const auto directRead = [&] { return LeerMemoriaDirecto(port, 5, 0, 0, 1, &byte); };
    const auto directWrite = [&] { return EscribirMemoriaDirecto(port, 5, 0, 0, 1, &value) == 0; };
    const auto fault = [](sim::FaultAction action) {
        return sim::Fault{action, {.kind = sim::FrameKind::BoardFetch}};
    };
    struct Row {
        const char* name;
        std::optional<sim::Fault> fault;
        ReceiveCheck check;
        std::function<bool()> call;
        bool ok;
        uint8_t fallosQdk;
        uint8_t fallosLectura;
    };
    const Row rows[] = {
        {"read, fetch lost", fault(sim::FaultAction::NoAnswer), RecepcionCrc, read, false, 1, 6},
        {"write, fetch lost", fault(sim::FaultAction::NoAnswer), RecepcionCrc, write, false, 1, 5},
        {"read, status 0", fault(sim::FaultAction::StatusZero), RecepcionCrc, read, false, 0, 6},
        {"read, another sequence", fault(sim::FaultAction::WrongSequence), RecepcionCrc, read,
         false, 0, 6},
        {"write, status 0", fault(sim::FaultAction::StatusZero), RecepcionCrc, write, false, 0, 5},
        {"good read", {}, RecepcionCrc, read, true, 0, 0},
        {"direct good read", {}, RecepcionSuma, directRead, true, 50, 0},
        {"direct write", {}, RecepcionSuma, directWrite, true, 50, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(port.AbrirPuerto(row.check));
        port.FallosQdk = 50;
        port.FallosLectura = 5;
        if (row.fault) {
            bus.injectFault(*row.fault);
        }
        EXPECT_EQ(row.call(), row.ok);
        EXPECT_EQ(port.FallosQdk, row.fallosQdk);
        EXPECT_EQ(port.FallosLectura, row.fallosLectura);
    }
}

TEST(RegulatorMemoryRoutines, DirectRoutinesWithoutAComponentFailAtOnce) {
    TQDK port(4);
    uint8_t destination[1] = {0x33};
    const uint8_t source[1] = {0x44};
    const auto start = SteadyClock::now();
    EXPECT_FALSE(LeerMemoriaDirecto(port, 5, 0, 0, 1, destination));
    EXPECT_EQ(EscribirMemoriaDirecto(port, 5, 0, 0, 1, source), 1);
    EXPECT_LT(Since(start), milliseconds(100));
    EXPECT_EQ(port.FallosLectura, 1);
    EXPECT_EQ(destination[0], 0x33);
}

TEST(RegulatorMemoryRoutines, DirectReadSequenceStartsAgainAtZeroAtTheTopOfItsRange) {
    TQDK port(4);
    port.Secuencia = std::numeric_limits<int32_t>::max();
    uint8_t destination[1] = {};
    LeerMemoriaDirecto(port, 5, 0, 0, 1, destination);
    EXPECT_EQ(port.Secuencia, 0);
}

TEST(RegulatorMemoryRoutines, WhileTheLibraryStopsDirectRoutinesCountNothingButBoardReadsDo) {
    TQDK port(4);
    port.Secuencia = 7;
    uint8_t destination[1] = {};
    const uint8_t source[1] = {};
    const StoppingLibrary stopping;
    EXPECT_FALSE(LeerMemoriaDirecto(port, 5, 0, 0, 1, destination));
    EXPECT_EQ(EscribirMemoriaDirecto(port, 5, 0, 0, 1, source), 1);
    EXPECT_EQ(port.Secuencia, 7);
    EXPECT_EQ(port.FallosLectura, 0);

    // The board read's send fails like any other and is counted.
    EXPECT_FALSE(LeerMemoriaQdk(port, 5, 0, 0, 1, destination));
    EXPECT_EQ(port.FallosLectura, 1);
    EXPECT_EQ(port.FallosQdk, 1);
}

TEST(RegulatorMemorySettings, AreStoredAlsoWhileTheLibraryStops) {
    const StoppingLibrary stopping;
    PonerMemoriACeroSifallo(0);
    DelayEntreTranmisiones(50);
    EXPECT_EQ(MemoriaACeroSiFallo, 0);
    EXPECT_EQ(DelayTransmisiones, 50);
}

}  // namespace
