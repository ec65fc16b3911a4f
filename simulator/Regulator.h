#pragma once
// One simulated regulator: memory by block and offset, its own EEPROM, and the
// EEPROM mailbox in block 7 that a bus write serves.

#include <cstdint>
#include <map>
#include <vector>

#include "SimulatedBus.h"

namespace baslink::sim {

class Regulator {
public:
    Bytes memory(uint8_t block, uint16_t offset, std::size_t size) const;
    // Plain store, as a test presets memory; serves nothing.
    void setMemory(uint8_t block, uint16_t offset, const Bytes& bytes);
    // A write that came over the bus: stores, then serves the mailbox when the
    // write covered its command byte.
    void writeFromBus(uint8_t block, uint16_t offset, const Bytes& bytes);

    Bytes eeprom(uint16_t address, std::size_t size) const;
    void setEeprom(uint16_t address, const Bytes& bytes);

private:
    void serveMailbox();

    // Blocks are allocated when first written; unwritten memory reads as 0.
    std::map<uint8_t, std::vector<uint8_t>> blocks_;
    // Allocated when first written; an erased EEPROM reads as 0xFF.
    std::vector<uint8_t> eeprom_;
};

}  // namespace baslink::sim
