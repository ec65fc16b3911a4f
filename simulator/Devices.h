#pragma once
// The regulators and point modules on the bus, reached by the board's relays and
// by direct frames.

#include <cstdint>
#include <map>

#include "PointModule.h"
#include "Regulator.h"

namespace baslink::sim {

struct Devices {
    std::map<uint16_t, Regulator> regulators;
    std::map<uint8_t, PointModule> modules;
};

// Node header bytes: H0 carries node bits 9-8 in its bits 7-6 over the fixed
// pattern 010101, H1 the low byte.
inline bool IsNodeHeader(uint8_t h0) {
    return (h0 & 0x3F) == 0x15;
}
inline uint16_t NodeFromHeader(uint8_t h0, uint8_t h1) {
    return static_cast<uint16_t>((h0 >> 6) << 8 | h1);
}

}  // namespace baslink::sim
