#pragma once
// What the tests read from the frames a simulated bus received.

#include <chrono>
#include <cstdint>
#include <vector>

#include "SimulatedBus.h"

// The frames of `kind` the bus received, in order.
inline std::vector<baslink::sim::LoggedFrame> FramesOf(const baslink::sim::SimulatedBus& bus,
                                                       baslink::sim::FrameKind kind) {
    std::vector<baslink::sim::LoggedFrame> frames;
    for (const baslink::sim::LoggedFrame& frame : bus.receivedFrames()) {
        if (frame.kind == kind) {
            frames.push_back(frame);
        }
    }
    return frames;
}

// The offset of a direct read or write of block 0: it follows the size (read) or the size
// byte (write).
inline uint16_t DirectOffsetOf(const baslink::sim::LoggedFrame& frame) {
    return static_cast<uint16_t>(frame.bytes[4] << 8 | frame.bytes[5]);
}

// The payload of a board send frame: the bytes between its 7-byte head and its CRC.
inline baslink::sim::Bytes PayloadOf(const baslink::sim::LoggedFrame& send) {
    return baslink::sim::Bytes(send.bytes.begin() + 7, send.bytes.end() - 2);
}

// The length of the reply payload that a board fetch frame asks for.
inline uint16_t FetchLengthOf(const baslink::sim::LoggedFrame& fetch) {
    return static_cast<uint16_t>(fetch.bytes[4] << 8 | fetch.bytes[5]);
}

inline std::chrono::milliseconds Between(const baslink::sim::LoggedFrame& earlier,
                                         const baslink::sim::LoggedFrame& later) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(later.time - earlier.time);
}
