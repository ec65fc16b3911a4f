// The worker thread through libbaslink.so, against the simulated bus: the pause between
// its passes, the queued writes it sends while it runs, the stop with writes still queued,
// and a long run of host threads calling the cache and point-module exports beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "BusFrames.h"
#include "DeviceLock.h"
#include "LibraryOnBusTest.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using baslink::sim::Bytes;
using baslink::sim::FrameKind;
using baslink::sim::LoggedFrame;
using baslink::sim::SimulatedBus;
using baslink::testing::Eventually;
using baslink::testing::SteadyClock;
using std::chrono::milliseconds;

constexpr uint8_t kDirect = 1;

// The data bytes of the block-0 direct writes at `offset`, in the order they came.
std::vector<Bytes> WrittenAt(const SimulatedBus& bus, uint16_t offset) {
    std::vector<Bytes> written;
    for (const LoggedFrame& frame : FramesOf(bus, FrameKind::DirectWrite)) {
        if (DirectOffsetOf(frame) == offset) {
            written.emplace_back(frame.bytes.begin() + 6, frame.bytes.end() - 1);
        }
    }
    return written;
}

class Worker : public LibraryOnBusTest {
protected:
    // The library stops, and its worker has let go of the ports, before the simulated
    // buses go: a worker polling a port whose link has gone would look for the port among
    // the machine's own devices.
    ~Worker() override {
        LibExit();
        EXPECT_TRUE(Eventually(
            [&] { return DeviceIsFree(bus.devicePath()) && DeviceIsFree(modules.devicePath()); },
            milliseconds(3000)));
    }

    SimulatedBus modules{"com2"};  // point modules
};

TEST_F(Worker, PausesBetweenPassesForTheDelaySetLast) {
    bus.addRegulator(5);
    DelayEntreTranmisiones(250);
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);  // one block: one read a pass
    ASSERT_TRUE(Eventually([&] { return FramesOf(bus, FrameKind::DirectRead).size() >= 3; },
                           milliseconds(3000)));
    auto reads = FramesOf(bus, FrameKind::DirectRead);
    EXPECT_GE(Between(reads[0], reads[1]), milliseconds(245));
    EXPECT_GE(Between(reads[1], reads[2]), milliseconds(245));

    DelayEntreTranmisiones(10);
    bus.clearFrames();
    ASSERT_TRUE(Eventually([&] { return FramesOf(bus, FrameKind::DirectRead).size() >= 4; },
                           milliseconds(3000)));
    reads = FramesOf(bus, FrameKind::DirectRead);
    EXPECT_LT(Between(reads[2], reads[3]), milliseconds(150));
}

TEST_F(Worker, SendsWritesInCallOrderAndKeepsTheCacheFresh) {
    bus.addRegulator(5);
    AnadirLecturaVLX2(1, 0, 5, 0, 0x50, 1, kDirect, nullptr);
    for (uint8_t value = 1; value <= 5; ++value) {
        EscribirVLX2_Byte(1, 0, 5, 0, 0x50, value);
    }
    ASSERT_TRUE(Eventually([&] { return WrittenAt(bus, 0x50).size() == 5; }, milliseconds(3000)));
    EXPECT_EQ(WrittenAt(bus, 0x50), (std::vector<Bytes>{{1}, {2}, {3}, {4}, {5}}));
    EXPECT_TRUE(
        Eventually([] { return LeerVLX2_Byte(1, 0, 5, 0, 0x50) == 5; }, milliseconds(3000)));
    EXPECT_EQ(CogerEstadoVLX2(1, 5), 1);
}

TEST_F(Worker, ReadsAPortWhoseDeviceComesAndGoesWithoutACallAndTellsItsState) {
    PonerMemoriACeroSifallo(0);
    LinkToNothing("com3");
    testing::internal::CaptureStderr();
    AnadirLecturaVLX2(3, 0, 5, 0, 0x10, 2, kDirect, nullptr);
    EXPECT_TRUE(Eventually([] { return CogerEstadoVLX2(3, 5) == 0; }, milliseconds(3000)));
    const auto refreshedTo = [](int16_t value) {
        return Eventually(
            [&] { return LeerVLX2_Integer(3, 0, 5, 0, 0x10) == value && CogerEstadoVLX2(3, 5) == 1; },
            milliseconds(3000));
    };
    {
        SimulatedBus late("com3");
        late.addRegulator(5).setMemory(0, 0x10, {0x34, 0x12});
        EXPECT_TRUE(refreshedTo(0x1234));
    }  // gone, with its link
    EXPECT_TRUE(Eventually([] { return CogerEstadoVLX2(3, 5) == 0; }, milliseconds(3000)));
    EXPECT_EQ(LeerVLX2_Integer(3, 0, 5, 0, 0x10), 0x1234);  // the last good bytes, kept

    SimulatedBus back("com3");
    back.addRegulator(5).setMemory(0, 0x10, {0x78, 0x56});
    EXPECT_TRUE(refreshedTo(0x5678));
    testing::internal::GetCapturedStderr();
    LibExit();
    EXPECT_TRUE(Eventually([&] { return DeviceIsFree(back.devicePath()); }, milliseconds(3000)));
}

// A device on com3 whose block the worker has read, and that has then gone with its link;
// the worker's reads of it have failed, and so have its tries to open it again. With a
// module on it, the worker's polls and a write queued after the loss fail too.
enum class OnTheLostDevice { ABlock, ABlockAModuleAndAWrite };

void LoseCachedDevice(OnTheLostDevice work) {
    const bool moduleAndWrite = work == OnTheLostDevice::ABlockAModuleAndAWrite;
    {
        SimulatedBus device("com3");
        device.addRegulator(5);
        device.addPointModule(9, {0, 0, 0, 0});
        AnadirLecturaVLX2(3, 0, 5, 0, 0, 2, kDirect, nullptr);
        if (moduleAndWrite) {
            AnadirZOQ(3, 9, 0, 0, 0, 0);
        }
        ASSERT_TRUE(device.waitForReceived(2, milliseconds(3000)));  // the worker's first
    }
    if (moduleAndWrite) {
        EscribirVLX2_Byte(3, 0, 5, 0, 0x30, 1);
    }
    ASSERT_TRUE(Eventually(
        [&] {
            return CogerEstadoVLX2(3, 5) == 0 && (!moduleAndWrite || (CogerEstadoZoq(3, 9) & 0x40));
        },
        milliseconds(3000)));
}

TEST_F(Worker, TheLossIsToldOnceOnTheHostsCallNotOnTheWorkersThread) {
    testing::internal::CaptureStderr();
    ASSERT_NO_FATAL_FAILURE(LoseCachedDevice(OnTheLostDevice::ABlockAModuleAndAWrite));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    uint16_t word = 0;
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(LeerWordRegulador(3, kDirect, 5, 0, 0, &word), 0);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "DLL AbrirPuerto: Imposible Abrir Puerto com3\n");
}

TEST_F(Worker, WritesAndCallsOnceTheDeviceIsBackAllGoThrough) {
    PonerMemoriACeroSifallo(0);
    testing::internal::CaptureStderr();
    ASSERT_NO_FATAL_FAILURE(LoseCachedDevice(OnTheLostDevice::ABlock));
    testing::internal::GetCapturedStderr();

    SimulatedBus back("com3");
    back.addRegulator(5);
    std::vector<Bytes> queued;
    for (uint8_t value = 1; value <= 20; ++value) {
        EscribirVLX2_Byte(3, 0, 5, 0, 0x30, value);
        queued.push_back({value});
    }
    uint8_t byte = 0;
    EXPECT_EQ(LeerByteRegulador(3, kDirect, 5, 0, 0x30, &byte), 1);
    EXPECT_TRUE(Eventually([&] { return WrittenAt(back, 0x30).size() >= queued.size(); },
                           milliseconds(3000)));
    EXPECT_EQ(WrittenAt(back, 0x30), queued);
    LibExit();
    EXPECT_TRUE(Eventually([&] { return DeviceIsFree(back.devicePath()); }, milliseconds(3000)));
}

// The median gap between the worker's reads of com1's block, over `count` reads from now.
// The median, not the largest: on a loaded machine a single gap says more about the
// machine than about the worker.
milliseconds TypicalGapBetweenReads(SimulatedBus& bus, std::size_t count) {
    bus.clearFrames();
    EXPECT_TRUE(Eventually([&] { return FramesOf(bus, FrameKind::DirectRead).size() >= count; },
                           milliseconds(20000)));
    const auto reads = FramesOf(bus, FrameKind::DirectRead);
    std::vector<milliseconds> gaps;
    for (std::size_t read = 1; read < reads.size(); ++read) {
        gaps.push_back(Between(reads[read - 1], reads[read]));
    }
    if (gaps.empty()) {
        return milliseconds{0};  // the wait above has failed the test
    }
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    return gaps[gaps.size() / 2];
}

TEST_F(Worker, AModuleOnAPortWithoutItsDeviceKeepsTheOtherPortsAtTheirPace) {
    bus.addRegulator(5);
    modules.addPointModule(9, {0, 0, 0, 0});
    AnadirZOQ(2, 9, 0, 0, 0, 0);
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);
    const milliseconds healthy = TypicalGapBetweenReads(bus, 15);

    LinkToNothing("com4");
    testing::internal::CaptureStderr();
    AnadirZOQ(4, 9, 0, 0, 0, 0);
    const milliseconds withMissing = TypicalGapBetweenReads(bus, 15);
    testing::internal::GetCapturedStderr();
    EXPECT_LE(withMissing, 2 * healthy + milliseconds(50)) << "healthy " << healthy.count() << " ms";
    EXPECT_EQ(CogerEstadoZoq(4, 9) & 0x40, 0x40);  // its polls fail
    EXPECT_EQ(CogerEstadoZoq(2, 9) & 0x40, 0);
}

TEST_F(Worker, StopsBetweenQueuedWritesAndTheExportsThenLeaveEverythingAlone) {
    bus.addRegulator(5);
    bus.injectFault({baslink::sim::FaultAction::NoAnswer,
                     {.kind = FrameKind::DirectWrite},
                     baslink::sim::kEveryFrame});
    AnadirLecturaVLX2(1, 0, 5, 0, 0, 2, kDirect, nullptr);
    // The stop comes as the first write goes out, while the others are queued (a call that
    // queues waits while the worker sends).
    bool firstWriteSeen = false;
    std::thread stopper([&] {
        firstWriteSeen =
            Eventually([&] { return !WrittenAt(bus, 0x50).empty(); }, milliseconds(3000));
        LibExit();
    });
    for (uint8_t value = 1; value <= 5; ++value) {
        EscribirVLX2_Byte(1, 0, 5, 0, 0x50, value);
    }
    stopper.join();
    ASSERT_TRUE(firstWriteSeen);
    // The worker releases the port objects, closing com1, once it has left.
    ASSERT_TRUE(Eventually([&] { return DeviceIsFree(bus.devicePath()); }, milliseconds(3000)));
    EXPECT_LE(WrittenAt(bus, 0x50).size(), 2u);

    testing::internal::CaptureStderr();
    uint16_t value = 9;
    EscribirVLX2_Byte(1, 0, 5, 0, 0x50, 6);
    AnadirLecturaVLX2(0, 0, 5, 0, 0, 30, kDirect, nullptr);
    EXPECT_EQ(LeerVLX2_Integer(1, 0, 5, 0, 0), 0);
    EXPECT_EQ(CogerEstadoVLX2(1, 5), 0);
    QuitarVlx2(1, 0, 0);
    MostrarInfoVLX2(1, 0, 0);
    AnadirZOQ(1, 2, 0, 0, 0, 0);
    CogerValoresZOQS(1, 2, &value, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CogerEstadoZoq(1, 2), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(value, 9);
}

// How long the long run lasts: BASLINK_SOAK_SECONDS, or a few seconds.
std::chrono::seconds SoakDuration() {
    const char* text = std::getenv("BASLINK_SOAK_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 3);
}

// Host threads use the cache, the queue and the point modules while the worker polls,
// sends and reads: nothing may race (under ThreadSanitizer), nothing may wait for ever,
// and every queued write reaches the regulator once, in call order.
TEST_F(Worker, HostThreadsShareTheListsWithTheWorkerWithoutLosingAWrite) {
    auto regulator = bus.addRegulator(5);
    modules.addPointModule(9, {1, 4, 2, 3}).setInput(5, 1);
    modules.addPointModule(10, {2, 0, 0, 0});
    modules.addPointModule(11, {5, 5, 0, 0});
    AnadirZOQ(2, 9, 1, 4, 2, 3);
    AnadirLecturaVLX2(1, 0, 5, 0, 0x40, 4, kDirect, "contador");

    const auto end = SteadyClock::now() + SoakDuration();
    std::atomic<int32_t> lastWritten{0};
    std::thread cache([&] {
        for (int32_t value = 1; SteadyClock::now() < end; ++value) {
            EscribirVLX2_Long(1, 0, 5, 0, 0x40, value);
            lastWritten = value;
            uint8_t bytes[4];
            LeerMemoriaVLX2(1, 0, 5, 0, 0x40, 4, bytes);
            LeerVLX2_Long(1, 0, 5, 0, 0x40);
            CogerEstadoVLX2(1, 5);
            if (value % 64 == 0) {
                QuitarVlx2(1, 0, 0);
                AnadirLecturaVLX2(1, 0, 5, 0, 0x40, 4, kDirect, "contador");
                AnadirLecturaVLX2(1, 0, 5, 0, 0x44, 8, kDirect, "otro");
            }
            std::this_thread::sleep_for(milliseconds(1));  // a host's pace, not a wait
        }
    });
    std::thread points([&] {
        uint16_t values[8];
        for (uint16_t round = 0; SteadyClock::now() < end; ++round) {
            PonerValoresZOQS(2, 9, round & 1, 0, round & 0xFF, 1, 0, 0, 0, 0);
            PonerValorZOQ(2, 9, 2, 1);
            CogerValoresZOQS(2, 9, &values[0], &values[1], &values[2], &values[3], &values[4],
                             &values[5], &values[6], &values[7]);
            CogerEstadoZoq(2, 9);
            PonerEstadoZoq(2, 9, 1, round & 1, 0);
            // Modules are added (or reset) and switched off and on while the worker walks
            // the list.
            if (round % 64 == 0) {
                AnadirZOQ(2, 10, 2, 0, 0, 0);
                AnadirZOQ(2, 11, 5, 5, 0, 0);
            }
            PonerEstadoZoq(2, 11, round % 16 < 8 ? 1 : 0, 0, 0);
            std::this_thread::sleep_for(milliseconds(1));
        }
    });
    cache.join();
    points.join();

    const int32_t last = lastWritten;
    ASSERT_GT(last, 0);
    ASSERT_TRUE(Eventually([&] { return WrittenAt(bus, 0x40).size() >= static_cast<size_t>(last); },
                           milliseconds(10000)))
        << WrittenAt(bus, 0x40).size() << " of " << last << " writes sent";
    const std::vector<Bytes> written = WrittenAt(bus, 0x40);
    ASSERT_EQ(written.size(), static_cast<size_t>(last));
    for (int32_t value = 1; value <= last; ++value) {
        int32_t sent = 0;
        std::memcpy(&sent, written[static_cast<size_t>(value - 1)].data(), sizeof sent);
        ASSERT_EQ(sent, value);
    }
    EXPECT_EQ(regulator.memory(0, 0x40, 4), written.back());
    const unsigned polls = modules.pointModule(9).state().answered;
    EXPECT_GT(polls, 0u);
    std::cout << "long run: " << last << " queued writes sent in order, " << polls
              << " polls answered\n";
}

}  // namespace
