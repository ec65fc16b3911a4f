#pragma once
// Regulator memory in either link mode: the count of failed reads and the fill rule that
// both modes share, and the choice of routine by the port's link mode.

#include <cstddef>
#include <cstdint>

#include "PortObjects.h"

namespace baslink {

// After a failed read: FallosLectura steps up, to 10 at most. Once it stands at 10 and
// MemoriaACeroSiFallo is 1, the read's `size` bytes of `destination` become 0xFF, so a
// regulator that stays silent shows as all ones rather than as its last good values.
// The caller holds SeccionCritica.
void CountFailedRead(TQDK& qdk, uint8_t* destination, std::size_t size);
// Whether a failed read on the port fills its destination with 0xFF now, as the one just
// counted did. The caller holds SeccionCritica.
bool FailedReadsFill(const TQDK& qdk);

// A memory read through direct frames when the port's ModoDirecto is not 0, through the
// board when it is: true when the answer came and its bytes are in `destination`.
// The caller holds SeccionCritica and has opened the port in its mode.
bool ReadRegulatorMemory(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                         uint8_t* destination);
// The same for a write: true when the regulator (direct) or the board acknowledged it.
bool WriteRegulatorMemory(TQDK& qdk, uint16_t node, uint8_t block, uint16_t offset, uint8_t size,
                          const uint8_t* source);

}  // namespace baslink
