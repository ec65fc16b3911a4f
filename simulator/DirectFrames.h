#pragma once
// Direct regulator frames: what they ask and what the regulator answers.

#include <optional>

#include "Devices.h"
#include "FaultList.h"
#include "SimulatedBus.h"

namespace baslink::sim {

struct DirectRequest {
    uint16_t node = 0;
    uint8_t sequence = 0;
    bool write = false;
    uint8_t block = 0;
    uint16_t offset = 0;
    std::size_t size = 0;
    Bytes data;
};

// `frame` is a whole frame with a good sum, as the scanner delimited it.
DirectRequest ParseDirectFrame(const Bytes& frame);

FrameFacts Describe(const DirectRequest& request);

// The answer without its sum: a read gets two leading bytes (the node's low byte
// and the sequence) and the data, a write gets those two bytes alone. Nothing when
// no regulator has the node.
std::optional<Bytes> AnswerDirect(const DirectRequest& request, Devices& devices);

}  // namespace baslink::sim
