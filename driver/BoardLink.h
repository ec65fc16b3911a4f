#pragma once
// The link to the communication board: CRC-16 guarded frames. One exchange is a send
// frame (function 0x65) carrying a request payload, acknowledged by the board, then a
// fetch frame (function 0x64) whose reply carries the board's answer payload.

#include <cstddef>
#include <cstdint>
#include <string>

#include "PortObjects.h"

namespace baslink {

inline constexpr uint8_t kBoardAddress = 1;
inline constexpr uint8_t kSendFunction = 0x65;
inline constexpr uint8_t kFetchFunction = 0x64;
inline constexpr uint16_t kFetchStart = 100;
// A send frame adds 9 bytes to its payload.
inline constexpr std::size_t kMaxPayload = kMaxFrameLength - 9;

// Adds 1 to a sequence counter, back to 1 above 200; returns the new value.
int32_t AdvanceSequence(int32_t& sequence);
// Advances the port's frame sequence; returns its low byte.
uint8_t SiguienteSecuencia(TQDK& qdk);

// Sends a payload in a send frame and waits for its acknowledgement: true once one
// with a good CRC has come within the reply time. Fails at once, sending nothing,
// while the library stops, before the port's component exists or for a payload above
// kMaxPayload.
bool EnviarTramaCrc(TQDK& qdk, uint8_t slave, uint8_t function, const uint8_t* payload,
                    std::size_t n);
// EnviarTramaCrc to the board (address 1, function 0x65).
bool EnviarQdk(TQDK& qdk, const uint8_t* payload, std::size_t n);

// Sends a fetch frame and waits for its reply of len + 5 bytes. On a good reply,
// reply bytes 4 .. len + 3 go into buffer positions 1 .. len (the buffer has room for
// len + 1; position 0 keeps its value) and the result is true. A bad reply or the
// timeout gives false and leaves the buffer untouched.
bool PedirTramaCrc(TQDK& qdk, uint8_t function, uint16_t start, uint8_t slave, uint16_t len,
                   uint8_t* buffer);
// PedirTramaCrc from the board (function 0x64, start 100, address 1).
bool RecibirQdk(TQDK& qdk, uint8_t* buffer, uint16_t len);

// The receive check of board-link ports, on the port's reader thread: sets Estado to
// kStateGood when the collected bytes end in a good CRC, else to kStateBad.
// Fewer than 3 bytes, or a stopping library, leave it as it is.
void RecepcionCrc(TQDK& qdk, TThreadComPort& sender, const std::string& data);

}  // namespace baslink
