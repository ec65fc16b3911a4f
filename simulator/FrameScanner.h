#pragma once
// Finds where the next frame on the line ends. The line is a byte stream with
// nothing marking frame ends, so frames are delimited by their heads and lengths
// (see SimulatedBus.h for the rules).

#include <cstddef>
#include <cstdint>

#include "SimulatedBus.h"

namespace baslink::sim {

enum class ScanStatus {
    Incomplete,  // the bytes so far may start a frame; more are needed
    Junk,        // the first byte cannot start a frame: drop it
    Frame,       // a whole frame of `length` bytes; `checkOk` tells its CRC or sum
};

struct ScanResult {
    ScanStatus status = ScanStatus::Incomplete;
    FrameKind kind = FrameKind::Raw;
    std::size_t length = 0;
    bool checkOk = false;
};

ScanResult ScanFrame(const uint8_t* data, std::size_t size);

}  // namespace baslink::sim
