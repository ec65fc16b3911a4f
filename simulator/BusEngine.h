#pragma once
// The answering thread: reads the pty master, frames the byte stream, lets the
// board or a regulator answer, and writes the answer back shaped by faults and
// line timing.

#include <atomic>
#include <thread>

#include "BusState.h"
#include "FrameScanner.h"

namespace baslink::sim {

class BusEngine {
public:
    BusEngine(BusState& state, int masterFd);  // starts the thread
    ~BusEngine();                              // stops and joins it
    BusEngine(const BusEngine&) = delete;
    BusEngine& operator=(const BusEngine&) = delete;

    void stop();
    // Makes the thread look at the raw answer queue again.
    void wake();

private:
    struct Outgoing {
        FrameKind kind = FrameKind::Raw;
        Bytes bytes;
        AnswerShaping shaping;
        std::size_t requestLength = 0;
    };

    void run();
    bool readAvailable();
    void processBuffer();
    void dropStaleBytes();
    bool takeRawExchange(std::optional<Outgoing>& outgoing);
    std::optional<Outgoing> answerFrame(const ScanResult& scan, const Bytes& frame);
    std::optional<Outgoing> answerBoardSend(const Bytes& frame);
    std::optional<Outgoing> answerBoardFetch(const Bytes& frame);
    std::optional<Outgoing> answerDirect(FrameKind kind, const Bytes& frame);
    void saveEepromFile();
    void send(Outgoing outgoing, Clock::time_point requestStart);
    bool sleepUntil(Clock::time_point deadline);
    bool writeAll(const uint8_t* data, std::size_t size);

    BusState& state_;
    int master_;
    int wake_;
    std::atomic<bool> stopping_{false};
    Bytes buffer_;
    Clock::time_point frameStart_{};
    Clock::time_point lastByte_{};
    std::thread thread_;
};

}  // namespace baslink::sim
