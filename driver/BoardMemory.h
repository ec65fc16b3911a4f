#pragma once
// Regulator memory through the communication board: the board relays a memory command
// (payload command 1 for block 0, 4 for any other block) to the regulator, and its reply
// is fetched. Both routines keep the port's FallosQdk; the read keeps FallosLectura too.

#include <cstdint>
#include <span>
#include <vector>

#include "PortObjects.h"

namespace baslink {

// The request payloads: 01 seq H0 H1 00 offHi offLo size for a read in block 0,
// 04 seq H0 H1 07 block offHi offLo size in any other; a write has 04 (block 0) or
// 08 in place of 00 and 07, and its data after the size.
std::vector<uint8_t> BoardReadPayload(uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                                      uint8_t sequence);
std::vector<uint8_t> BoardWritePayload(uint16_t node, uint8_t block, uint16_t offset,
                                       std::span<const uint8_t> data, uint8_t sequence);

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
