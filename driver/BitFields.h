#pragma once
// Bit streams of the point-module polls: byte buffers addressed by bit position p, bit p
// in byte p / 8 at bit 7 - p % 8, so a stream starts at the most significant bit of its
// first byte. Fields go most significant bit first.

#include <cstddef>
#include <cstdint>

namespace baslink {

// Writes the low `count` bits of `value` (count at most 16) from `position` on,
// overwriting what the buffer held there; returns position + count.
std::size_t EscribirBits(uint8_t* buffer, std::size_t position, uint16_t value, int count);

// Reads `count` bits (at most 16) from `position` on into `value`, the first bit read
// becoming its highest; returns position + count.
std::size_t LeerBits(const uint8_t* buffer, std::size_t position, uint16_t& value, int count);

// The number of 1-bits at positions 0 .. bitCount - 1, modulo 256.
uint8_t OnesBefore(const uint8_t* buffer, std::size_t bitCount);

}  // namespace baslink
