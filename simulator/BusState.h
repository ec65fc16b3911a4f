#pragma once
// Everything the answering thread and the test threads share, under one lock.

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <vector>

#include "Board.h"
#include "Devices.h"
#include "FaultList.h"
#include "SimulatedBus.h"

namespace baslink::sim {

struct RawExchange {
    std::size_t requestLength = 0;
    Bytes answer;
};

struct BusState {
    mutable std::mutex mutex;
    mutable std::condition_variable frameReceived;

    Board board;
    Devices devices;
    FaultList faults;
    std::deque<RawExchange> rawAnswers;
    LineTiming timing;
    std::filesystem::path eepromFile;

    std::vector<LoggedFrame> log;
    std::size_t received = 0;

    void record(LoggedFrame frame) {
        const bool isReceived = frame.direction == Direction::Received;
        log.push_back(std::move(frame));
        if (isReceived) {
            ++received;
            frameReceived.notify_all();
        }
    }
};

}  // namespace baslink::sim
