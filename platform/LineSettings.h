#pragma once
// The mapping of the line settings onto a terminal's attributes, apart from the device
// so that it can be checked where a pseudo-terminal would not keep every bit.

#include <termios.h>

#include <cstdint>

namespace baslink::platform {

// Parity codes: none, odd, even, mark, space. Stop-bit codes: 1, 1.5, 2.
inline constexpr uint8_t kParityNone = 0, kParityOdd = 1, kParityEven = 2, kParityMark = 3,
                         kParitySpace = 4;
inline constexpr uint8_t kStopBitsOne = 0, kStopBitsOneAndHalf = 1, kStopBitsTwo = 2;

// Makes `settings` a raw line (no flow control, no translation, no echo) with the given
// speed and framing; the line knows no 1.5 stop bits and takes 2. False, with `settings`
// untouched, when the line cannot take one of the values (a speed it does not know, data
// bits outside 5..8, a parity or stop-bit code it has no setting for).
[[nodiscard]] bool ApplyLineSettings(termios& settings, uint32_t baud, uint8_t dataBits,
                                     uint8_t parity, uint8_t stopBits);

}  // namespace baslink::platform
