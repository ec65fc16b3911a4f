// The regulator memory and EEPROM exports through libbaslink.so, in both link modes,
// against the simulated regulators and board on a pseudo-terminal.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "BusFrames.h"
#include "LibraryOnBusTest.h"
#include "SimulatedBus.h"
#include "Timing.h"
#include "baslink.h"

namespace {

using baslink::sim::Bytes;
using baslink::sim::FaultAction;
using baslink::sim::FrameKind;
using baslink::sim::LoggedFrame;
using baslink::sim::SimulatedBus;
using baslink::testing::TimeOf;
using std::chrono::milliseconds;

constexpr uint8_t kBoard = 0;
constexpr uint8_t kDirect = 1;

std::vector<Bytes> ReceivedBytes(const SimulatedBus& bus) {
    std::vector<Bytes> frames;
    for (const LoggedFrame& frame : bus.receivedFrames()) {
        frames.push_back(frame.bytes);
    }
    return frames;
}

class RegulatorMemoryExports : public LibraryOnBusTest {};

TEST_F(RegulatorMemoryExports, FramesOnTheLineInBothModes) {
    bus.addRegulator(5);
    bus.addRegulator(341);
    bus.addRegulator(1023);
    bus.addRegulator(0);  // node 1024 has node 0's header
    const uint8_t aabb[] = {0xAA, 0xBB};
    uint8_t read[4] = {};
    struct Row {
        const char* name;
        std::function<uint8_t()> call;
        std::vector<Bytes> frames;
    };
    // In this order on a fresh port: every call takes the port's next sequence number.
    const Row rows[] = {
        {"direct read, node 5",
         [&] { return LeerBloqueMemoriaRegulador(1, kDirect, 5, 0, 0x0102, 4, read); },
         {{0x15, 0x05, 0x01, 0x04, 0x01, 0x02, 0x22}}},
        {"node 341",
         [&] { return LeerByteRegulador(1, kDirect, 341, 0, 0, read); },
         {{0x55, 0x55, 0x02, 0x01, 0x00, 0x00, 0xAD}}},
        {"node 1023",
         [&] { return LeerByteRegulador(1, kDirect, 1023, 0, 0, read); },
         {{0xD5, 0xFF, 0x03, 0x01, 0x00, 0x00, 0xD8}}},
        {"node 1024",
         [&] { return LeerByteRegulador(1, kDirect, 1024, 0, 0, read); },
         {{0x15, 0x00, 0x04, 0x01, 0x00, 0x00, 0x1A}}},
        {"direct write, block 0",
         [&] { return EscribirWordRegulador(1, kDirect, 5, 0, 0x0020, 0x1234); },
         {{0x15, 0x05, 0x05, 0x82, 0x00, 0x20, 0x34, 0x12, 0x07}}},
        {"direct write, block 3",
         [&] { return EscribirBloqueMemoriaRegulador(1, kDirect, 5, 3, 0x0040, 2, aabb); },
         {{0x15, 0x05, 0x06, 0xE0, 0x02, 0x08, 0x03, 0x00, 0x40, 0xAA, 0xBB, 0xB2}}},
        {"board read, block 0",
         [&] { return LeerBloqueMemoriaRegulador(1, kBoard, 5, 0, 0x0010, 2, read); },
         {{0x01, 0x65, 0x00, 0x00, 0x00, 0x08, 0x08, 0x01, 0x07, 0x15, 0x05, 0x00, 0x00, 0x10, 0x02,
           0xF7, 0x38},
          {0x01, 0x64, 0x00, 0x64, 0x00, 0x05, 0xF1, 0xDE}}},
        {"board read, block 2",
         [&] { return LeerBloqueMemoriaRegulador(1, kBoard, 5, 2, 0x0010, 2, read); },
         {{0x01, 0x65, 0x00, 0x00, 0x00, 0x09, 0x09, 0x04, 0x08, 0x15, 0x05, 0x07, 0x02, 0x00, 0x10,
           0x02, 0x6B, 0x73},
          {0x01, 0x64, 0x00, 0x64, 0x00, 0x05, 0xF1, 0xDE}}},
        {"board write, block 0",
         [&] { return EscribirBloqueMemoriaRegulador(1, kBoard, 5, 0, 0x0010, 2, aabb); },
         {{0x01, 0x65, 0x00, 0x00, 0x00, 0x0A, 0x0A, 0x01, 0x09, 0x15, 0x05, 0x04, 0x00, 0x10, 0x02,
           0xAA, 0xBB, 0xC6, 0xAA},
          {0x01, 0x64, 0x00, 0x64, 0x00, 0x03, 0x71, 0xDC}}},
        {"board write, block 2",
         [&] { return EscribirBloqueMemoriaRegulador(1, kBoard, 5, 2, 0x0010, 2, aabb); },
         {{0x01, 0x65, 0x00, 0x00, 0x00, 0x0B, 0x0B, 0x04, 0x0A, 0x15,
           0x05, 0x08, 0x02, 0x00, 0x10, 0x02, 0xAA, 0xBB, 0xF0, 0x49},
          {0x01, 0x64, 0x00, 0x64, 0x00, 0x03, 0x71, 0xDC}}},
        // Any mode other than 0 is direct.
        {"direct read, block 3",
         [&] { return LeerBloqueMemoriaRegulador(1, 7, 5, 3, 0x0040, 2, read); },
         {{0x15, 0x05, 0x0B, 0xE0, 0x02, 0x07, 0x03, 0x00, 0x40, 0x51}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        bus.clearFrames();
        EXPECT_EQ(row.call(), 1);
        EXPECT_EQ(ReceivedBytes(bus), row.frames);
    }
    EXPECT_EQ(Bytes(read, read + 2), (Bytes{0xAA, 0xBB}));
    EXPECT_EQ(bus.regulator(5).memory(2, 0x0010, 2), (Bytes{0xAA, 0xBB}));
}

TEST_F(RegulatorMemoryExports, ValuesTravelLeastSignificantByteFirstAndReadBack) {
    auto regulator = bus.addRegulator(5);
    for (const uint8_t mode : {kDirect, kBoard}) {
        SCOPED_TRACE(mode == kDirect ? "direct" : "board");
        const uint16_t base = mode == kDirect ? 0x100 : 0x200;
        // A long write on a port never used before opens it like any other.
        ASSERT_EQ(EscribirLongRegulador(1, mode, 5, 0, base, 0x11223344), 1);
        ASSERT_EQ(EscribirWordRegulador(1, mode, 5, 0, base + 4, 0x1234), 1);
        ASSERT_EQ(EscribirFloatRegulador(1, mode, 5, 2, base, 1.5f), 1);
        ASSERT_EQ(EscribirByteRegulador(1, mode, 5, 2, base + 4, 0xA5), 1);
        EXPECT_EQ(regulator.memory(0, base, 6), (Bytes{0x44, 0x33, 0x22, 0x11, 0x34, 0x12}));
        EXPECT_EQ(regulator.memory(2, base, 5), (Bytes{0x00, 0x00, 0xC0, 0x3F, 0xA5}));

        int32_t long_value = 0;
        uint16_t word = 0;
        float single = 0;
        uint8_t byte = 0;
        EXPECT_EQ(LeerLongRegulador(1, mode, 5, 0, base, &long_value), 1);
        EXPECT_EQ(LeerWordRegulador(1, mode, 5, 0, base + 4, &word), 1);
        EXPECT_EQ(LeerFloatRegulador(1, mode, 5, 2, base, &single), 1);
        EXPECT_EQ(LeerByteRegulador(1, mode, 5, 2, base + 4, &byte), 1);
        EXPECT_EQ(long_value, 0x11223344);
        EXPECT_EQ(word, 0x1234);
        EXPECT_EQ(single, 1.5f);
        EXPECT_EQ(byte, 0xA5);
    }
}

TEST_F(RegulatorMemoryExports, BoardReadPausesBeforeItsFetch) {
    bus.addRegulator(5).setMemory(0, 0, {0x42});
    uint8_t byte = 0;
    ASSERT_EQ(LeerByteRegulador(1, kBoard, 5, 0, 0, &byte), 1);
    EXPECT_EQ(byte, 0x42);
    const auto received = bus.receivedFrames();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_GE(Between(received[0], received[1]), milliseconds(100));

    // A write fetches its confirmation at once.
    bus.clearFrames();
    ASSERT_EQ(EscribirByteRegulador(1, kBoard, 5, 0, 0, 1), 1);
    const auto written = bus.receivedFrames();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_LT(Between(written[0], written[1]), milliseconds(90));
}

TEST_F(RegulatorMemoryExports, RefusedCallsSendNothingAndOnlyTheBlockChecksSpeak) {
    SimulatedBus port20("com20");
    port20.addRegulator(5);
    uint8_t buffer[24] = {};
    testing::internal::CaptureStderr();
    EXPECT_EQ(LeerBloqueMemoriaRegulador(0, kDirect, 5, 0, 0, 25, buffer), 0);
    EXPECT_EQ(LeerBloqueMemoriaRegulador(0, kDirect, 5, 0, 0, 24, buffer), 0);
    EXPECT_EQ(EscribirBloqueMemoriaRegulador(21, kDirect, 5, 0, 0, 24, buffer), 0);
    EXPECT_EQ(EscribirBloqueEpromRegulador(1, kDirect, 5, 0, 0, 21, buffer), 0);
    EXPECT_EQ(LeerBloqueEpromRegulador(21, kDirect, 5, 0, 0, 4, buffer), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Tamaño máximo de paquete 24\n"
              "Error: Puerto ha de ser > 0\n"
              "Error: Puerto ha de ser < 20\n"
              "Error: Tamaño máximo de paquete 24\n"
              "Error: Puerto ha de ser < 20\n");

    testing::internal::CaptureStderr();
    for (const uint8_t port : {0, 21, 255}) {
        EXPECT_EQ(EscribirByteRegulador(port, kDirect, 5, 0, 0, 1), 0);
        EXPECT_EQ(LeerLongRegulador(port, kDirect, 5, 0, 0, nullptr), 0);
    }
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, nullptr), 0);
    EXPECT_EQ(LeerBloqueMemoriaRegulador(1, kDirect, 5, 0, 0, 4, nullptr), 0);
    EXPECT_EQ(EscribirBloqueEpromRegulador(1, kDirect, 5, 0, 0, 4, nullptr), 0);
    EXPECT_EQ(LeerBloqueEpromRegulador(1, kDirect, 5, 0, 0, 4, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(bus.receivedCount(), 0u);

    EXPECT_EQ(LeerBloqueMemoriaRegulador(20, kDirect, 5, 0, 0, 24, buffer), 1);
}

TEST_F(RegulatorMemoryExports, TenFailedReadsInARowFillTheDestinationWithOnes) {
    bus.addRegulator(5).setMemory(0, 0, {0x01, 0x02});
    // Node 77 is absent: the board answers its reads with status 0, at once.
    const auto failedRead = [](uint8_t mode, uint8_t* buffer) {
        return LeerBloqueMemoriaRegulador(1, mode, 77, 0, 0, 2, buffer);
    };
    uint8_t buffer[2] = {0x11, 0x22};
    for (int failure = 1; failure <= 9; ++failure) {
        ASSERT_EQ(failedRead(kBoard, buffer), 0);
        ASSERT_EQ(Bytes(buffer, buffer + 2), (Bytes{0x11, 0x22})) << "failure " << failure;
    }
    // Both modes count on the port's one counter; the direct read times out.
    EXPECT_EQ(failedRead(kDirect, buffer), 0);
    EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{0xFF, 0xFF}));

    ASSERT_EQ(LeerBloqueMemoriaRegulador(1, kBoard, 5, 0, 0, 2, buffer), 1);
    EXPECT_EQ(failedRead(kBoard, buffer), 0);
    EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{0x01, 0x02}));

    // Only the value 1 lets the failures fill.
    for (const uint8_t flag : {0, 2}) {
        PonerMemoriACeroSifallo(flag);
        for (int failure = 1; failure <= 10; ++failure) {
            ASSERT_EQ(failedRead(kBoard, buffer), 0);
        }
        EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{0x01, 0x02})) << "flag " << int(flag);
    }
    PonerMemoriACeroSifallo(1);
    EXPECT_EQ(failedRead(kBoard, buffer), 0);
    EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{0xFF, 0xFF}));
}

// A device that cannot be reached counts as one that stays silent: the board link is
// failing from the third read, and the tenth fills.
TEST_F(RegulatorMemoryExports, ReadsOfAMissingDeviceCountAsThoseOfASilentOne) {
    struct Row {
        const char* name;
        uint8_t port;
        uint8_t mode;
        bool opensFirst;  // the device answers once, then goes; else it is never there
    };
    const Row rows[] = {{"board, lost", 2, kBoard, true},
                        {"direct, lost", 3, kDirect, true},
                        {"board, never there", 4, kBoard, false}};
    testing::internal::CaptureStderr();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = "com" + std::to_string(row.port);
        uint16_t word = 0x5555;
        if (row.opensFirst) {
            SimulatedBus device(name);
            device.addRegulator(5);
            ASSERT_EQ(LeerWordRegulador(row.port, row.mode, 5, 0, 0, &word), 1);
            word = 0x5555;
        } else {
            LinkToNothing(name);
        }
        for (int read = 1; read <= 10; ++read) {
            EXPECT_EQ(LeerWordRegulador(row.port, row.mode, 5, 0, 0, &word), 0);
            EXPECT_EQ(FalloQDK(row.port), row.mode == kBoard && read >= 3 ? 1 : 0) << "read " << read;
            EXPECT_EQ(word, read >= 10 ? 0xFFFF : 0x5555) << "read " << read;
        }
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(RegulatorMemoryExports, ThreeFailedSendsInARowMakeTheBoardLinkFailing) {
    bus.addRegulator(5);
    ASSERT_EQ(EscribirByteRegulador(1, kBoard, 5, 0, 0, 1), 1);  // opens the port
    bus.injectFault({FaultAction::NoAnswer, {.kind = FrameKind::BoardSend, .command = 1}, 3});
    for (int failure = 1; failure <= 3; ++failure) {
        EXPECT_EQ(FalloQDK(1), 0) << "before failure " << failure;
        EXPECT_EQ(EscribirByteRegulador(1, kBoard, 5, 0, 0, 1), 0);
    }
    EXPECT_EQ(FalloQDK(1), 1);
    // The send of this read goes through, so the link is good again, though the read
    // fails on the reply's status.
    bus.injectFault({FaultAction::StatusZero, {.kind = FrameKind::BoardFetch}, 1});
    uint8_t byte = 0;
    EXPECT_EQ(LeerByteRegulador(1, kBoard, 5, 0, 0, &byte), 0);
    EXPECT_EQ(FalloQDK(1), 0);
}

TEST_F(RegulatorMemoryExports, DirectFramesWithoutAGoodAnswerFailOnceTheReplyTimeIsOut) {
    bus.addRegulator(5);
    ASSERT_EQ(EscribirLongRegulador(1, kDirect, 5, 0, 0, 7), 1);  // opens the port

    bus.injectFault({FaultAction::NoAnswer, {.kind = FrameKind::DirectWrite}, 1});
    milliseconds elapsed =
        TimeOf([] { EXPECT_EQ(EscribirLongRegulador(1, kDirect, 5, 0, 0, 8), 0); });
    EXPECT_GE(elapsed, milliseconds(490));

    // A reply whose sum is wrong does not end the wait.
    bus.injectFault({FaultAction::BadCheck, {.kind = FrameKind::DirectRead}, 1});
    uint8_t buffer[3] = {0xEE, 0xEE, 0xEE};
    elapsed =
        TimeOf([&] { EXPECT_EQ(LeerBloqueMemoriaRegulador(1, kDirect, 5, 0, 0, 3, buffer), 0); });
    EXPECT_GE(elapsed, milliseconds(490));
    EXPECT_LT(elapsed, milliseconds(5000));
    EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{0xEE, 0xEE, 0xEE}));
}

TEST_F(RegulatorMemoryExports, DirectReadsRunTheSequenceBytePastTwoHundred) {
    bus.addRegulator(5);
    uint8_t byte = 0;
    constexpr int kReads = 258;
    for (int read = 1; read <= kReads; ++read) {
        ASSERT_EQ(LeerByteRegulador(1, kDirect, 5, 0, 0, &byte), 1) << "read " << read;
    }
    // The next sequence step of a write starts again at 1.
    ASSERT_EQ(EscribirByteRegulador(1, kDirect, 5, 0, 0, 1), 1);
    ASSERT_EQ(LeerByteRegulador(1, kDirect, 5, 0, 0, &byte), 1);

    const auto received = ReceivedBytes(bus);
    ASSERT_EQ(received.size(), kReads + 2u);
    for (int read = 1; read <= kReads; ++read) {
        ASSERT_EQ(received[read - 1][2], read % 256) << "read " << read;
    }
    EXPECT_EQ(received[kReads][2], 1);
    EXPECT_EQ(received[kReads + 1][2], 2);
}

TEST_F(RegulatorMemoryExports, EepromWriteGoesToTheMailboxWithItsRequest) {
    auto regulator = bus.addRegulator(5);
    Bytes data(20);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(0x40 + i);
    }
    // The fourth argument stands where the block goes elsewhere, and is not used.
    ASSERT_EQ(EscribirBloqueEpromRegulador(1, kDirect, 5, 99, 0x0123, 20, data.data()), 1);
    const auto received = ReceivedBytes(bus);
    ASSERT_EQ(received.size(), 1u);
    Bytes head{0x15, 0x05, 0x01, 0xE0, 24, 0x08, 0x07, 0x00, 116, 0x02, 0x01, 0x23, 20};
    ASSERT_EQ(received[0].size(), head.size() + data.size() + 1);
    EXPECT_EQ(Bytes(received[0].begin(), received[0].begin() + 13), head);
    EXPECT_EQ(Bytes(received[0].begin() + 13, received[0].end() - 1), data);
    EXPECT_EQ(regulator.eeprom(0x0123, 20), data);
}

TEST_F(RegulatorMemoryExports, EepromReadRequestsWaitsAndReadsIntoTheCallersBufferOnly) {
    auto regulator = bus.addRegulator(5);
    const Bytes stored{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    regulator.setEeprom(0x0200, stored);

    // Exactly as long as the size: nothing beyond it may be written.
    std::vector<uint8_t> ten(10);
    ASSERT_EQ(LeerBloqueEpromRegulador(1, kBoard, 5, 0, 0x0200, 10, ten.data()), 1);
    EXPECT_EQ(Bytes(ten.begin(), ten.end()), stored);
    const auto board = bus.receivedFrames();
    ASSERT_EQ(board.size(), 4u);
    // The payloads: the request at 116, then the read of 10 bytes at 120.
    EXPECT_EQ(PayloadOf(board[0]),
              (Bytes{0x04, 0x01, 0x15, 0x05, 0x08, 0x07, 0x00, 116, 4, 0x01, 0x02, 0x00, 10}));
    EXPECT_EQ(PayloadOf(board[2]), (Bytes{0x04, 0x02, 0x15, 0x05, 0x07, 0x07, 0x00, 120, 10}));
    EXPECT_GE(Between(board[1], board[2]), milliseconds(200));

    bus.clearFrames();
    std::vector<uint8_t> three(3);
    ASSERT_EQ(LeerBloqueEpromRegulador(1, kDirect, 5, 0, 0x0203, 3, three.data()), 1);
    EXPECT_EQ(Bytes(three.begin(), three.end()), (Bytes{4, 5, 6}));
    EXPECT_EQ(ReceivedBytes(bus),
              (std::vector<Bytes>{{0x15, 0x05, 0x03, 0xE0, 0x04, 0x08, 0x07, 0x00, 116, 0x01, 0x02,
                                   0x03, 0x03, 0x8D},
                                  {0x15, 0x05, 0x04, 0xE0, 0x03, 0x07, 0x07, 0x00, 120, 0x87}}));
}

// The lock is let go between the request and the read, so other exchanges on the port run
// in the regulator's time.
TEST_F(RegulatorMemoryExports, OtherExchangesRunWhileAnEepromReadWaits) {
    bus.addRegulator(5);
    uint8_t byte = 0;
    ASSERT_EQ(LeerByteRegulador(1, kDirect, 5, 0, 0, &byte), 1);  // opens the port
    bus.clearFrames();
    std::vector<uint8_t> eeprom(24);
    std::thread reader(
        [&] { EXPECT_EQ(LeerBloqueEpromRegulador(1, kDirect, 5, 0, 0, 24, eeprom.data()), 1); });
    // Once the request is on the line, the reader waits 480 ms before its read.
    ASSERT_TRUE(bus.waitForReceived(1, milliseconds(2000)));
    EXPECT_EQ(LeerByteRegulador(1, kDirect, 5, 0, 0, &byte), 1);
    reader.join();
    const auto received = ReceivedBytes(bus);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[1].size(), 7u);  // the byte read, between request and read
    EXPECT_EQ(received[2][8], 120);     // the EEPROM read, from the mailbox's data
}

TEST_F(RegulatorMemoryExports, WhileTheLibraryStopsEveryMemoryCallRefusesAtOnce) {
    bus.addRegulator(5);
    LibExit();
    uint8_t buffer[4] = {};
    int32_t long_value = 0;
    float single = 0;
    uint16_t word = 0;
    // Opening the port would cost its 500 ms pause.
    const milliseconds elapsed = TimeOf([&] {
        EXPECT_EQ(EscribirByteRegulador(1, kDirect, 5, 0, 0, 1), 0);
        EXPECT_EQ(EscribirWordRegulador(1, kDirect, 5, 0, 0, 1), 0);
        EXPECT_EQ(EscribirLongRegulador(1, kBoard, 5, 0, 0, 1), 0);
        EXPECT_EQ(EscribirFloatRegulador(1, kBoard, 5, 0, 0, 1), 0);
        EXPECT_EQ(LeerByteRegulador(1, kDirect, 5, 0, 0, buffer), 0);
        EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 0);
        EXPECT_EQ(LeerLongRegulador(1, kBoard, 5, 0, 0, &long_value), 0);
        EXPECT_EQ(LeerFloatRegulador(1, kBoard, 5, 0, 0, &single), 0);
        EXPECT_EQ(LeerBloqueMemoriaRegulador(1, kDirect, 5, 0, 0, 4, buffer), 0);
        EXPECT_EQ(EscribirBloqueMemoriaRegulador(1, kDirect, 5, 0, 0, 4, buffer), 0);
        EXPECT_EQ(EscribirBloqueEpromRegulador(1, kDirect, 5, 0, 0, 4, buffer), 0);
        EXPECT_EQ(LeerBloqueEpromRegulador(1, kDirect, 5, 0, 0, 4, buffer), 0);
    });
    EXPECT_LT(elapsed, milliseconds(400));
    EXPECT_EQ(bus.receivedCount(), 0u);

    // The stop comes before the argument checks and their messages.
    testing::internal::CaptureStderr();
    EXPECT_EQ(LeerBloqueMemoriaRegulador(0, kDirect, 5, 0, 0, 25, buffer), 0);
    EXPECT_EQ(EscribirBloqueEpromRegulador(21, kDirect, 5, 0, 0, 21, buffer), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
