#pragma once
// Direct bus frames: in direct link mode the driver speaks to the regulators itself,
// one frame out and one reply back, each ending in the 8-bit sum of its bytes. The
// node header bytes are shared with the board's memory commands.

#include <cstdint>

#include "PortObjects.h"

namespace baslink {

// The two bytes that address a regulator: H0 carries node bits 9-8 in its bits 7-6 over
// the fixed pattern 010101, H1 the node's low byte. Higher node bits are not sent.
struct NodeHeader {
    uint8_t h0;
    uint8_t h1;
};
NodeHeader HeaderOfNode(uint16_t node);

// The operation byte of the block forms, the same in the direct frames and in the board's
// memory commands.
inline constexpr uint8_t kBlockRead = 0x07;
inline constexpr uint8_t kBlockWrite = 0x08;

// Reads `size` bytes of a regulator's memory into `destination`: true when they came
// with a good sum within the reply time. Each call takes the port's next sequence
// number without the wrap at 200 of the board link. A failure counts in FallosLectura
// and may fill the destination (CountFailedRead). Sends nothing, counts nothing and
// fails while the library stops. The caller holds SeccionCritica.
bool LeerMemoriaDirecto(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint16_t size,
                        uint8_t* destination);

// Writes `size` bytes of `source` to a regulator's memory. Mind the sense: 0 when the
// regulator acknowledged within the reply time, 1 when it did not or the library stops.
// The caller holds SeccionCritica.
int EscribirMemoriaDirecto(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint16_t size,
                           const uint8_t* source);

}  // namespace baslink
