#pragma once
// What the driver's frames to the communication board carry, read from the frames the
// simulated bus logged.

#include <cstdint>

#include "SimulatedBus.h"

// The payload of a send frame: the bytes between its 7-byte head and its CRC.
inline baslink::sim::Bytes PayloadOf(const baslink::sim::LoggedFrame& send) {
    return baslink::sim::Bytes(send.bytes.begin() + 7, send.bytes.end() - 2);
}

// The length of the reply payload that a fetch frame asks for.
inline uint16_t FetchLengthOf(const baslink::sim::LoggedFrame& fetch) {
    return static_cast<uint16_t>(fetch.bytes[4] << 8 | fetch.bytes[5]);
}
