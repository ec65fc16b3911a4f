#pragma once
// The two checks of the bus: CRC-16/MODBUS guards the frames to and from the
// communication board, an 8-bit sum guards the direct regulator frames.
// Shared by the driver and the simulated bus.

#include <cstddef>
#include <cstdint>

namespace baslink {

// CRC-16/MODBUS: start 0xFFFF, reflected polynomial 0xA001, no final XOR.
// It goes on the wire low byte first.
uint16_t Crc16Modbus(const uint8_t* data, std::size_t length);

// Sum of the bytes modulo 256.
uint8_t Sum8(const uint8_t* data, std::size_t length);

}  // namespace baslink
