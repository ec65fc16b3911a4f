#pragma once
// Regulator memory through the communication board: the board relays a memory command
// (payload command 1 for block 0, 4 for any other block) to the regulator, and its reply
// is fetched. Both routines keep the port's FallosQdk; the read keeps FallosLectura too.

#include <cstdint>

#include "PortObjects.h"

namespace baslink {

// Sends the read command, pauses 100 ms (then lets the calling thread's window messages
// run once) and fetches the reply: true when the board echoed the sequence with status 1,
// and the `size` bytes are then in `destination`. Any failure counts in FallosLectura and
// may fill the destination (CountFailedRead); a failed send or fetch counts in FallosQdk,
// and each one that goes through sets it back to 0. The caller holds SeccionCritica.
bool LeerMemoriaQdk(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                    uint8_t* destination);

// Sends the write command and fetches the board's confirmation at once: true when it
// echoed the sequence with status 1. FallosQdk as for the read; FallosLectura is left
// alone. The caller holds SeccionCritica.
bool EscribirMemoriaQdk(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                        const uint8_t* source);

}  // namespace baslink
