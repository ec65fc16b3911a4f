#pragma once
// The faults a test asked for, and how they shape the answer to one frame.

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "SimulatedBus.h"

namespace baslink::sim {

// What a received frame is about, for matching faults against it.
struct FrameFacts {
    FrameKind kind = FrameKind::Raw;
    std::optional<uint8_t> command{};
    std::optional<uint16_t> address{};
    std::optional<uint16_t> node{};
    std::optional<uint8_t> block{};
};

// The combined effect of every fault that matched one frame.
struct AnswerShaping {
    bool drop = false;
    bool badCheck = false;
    bool wrongSequence = false;
    bool statusZero = false;
    std::chrono::milliseconds delay{0};
    std::size_t chunkSize = 0;  // 0: the answer goes out whole
    std::chrono::milliseconds chunkGap{0};
};

class FaultList {
public:
    void add(const Fault& fault);
    void clear() { faults_.clear(); }
    // Counts down every fault that matches, drops the used-up ones, and returns
    // their combined effect.
    AnswerShaping take(const FrameFacts& facts);

private:
    std::vector<Fault> faults_;
};

}  // namespace baslink::sim
