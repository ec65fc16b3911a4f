#pragma once
// The communication board: executes the payload of each good send frame, keeps
// its reply for the next fetch, and owns its EEPROM and reset count.

#include <cstdint>
#include <vector>

#include "Devices.h"
#include "FaultList.h"
#include "SimulatedBus.h"

namespace baslink::sim {

class Board {
public:
    Board();

    // What a send payload is about (command, address, node, block), for faults.
    static FrameFacts Describe(const Bytes& payload);

    void execute(const Bytes& payload, Devices& devices);

    // What the reply waiting for a fetch is about: the facts of the send that made it.
    const FrameFacts& replyFacts() const { return replyFacts_; }
    // The reply payload for a fetch of `length` bytes: the waiting reply cut or
    // padded with zeros to that length.
    Bytes reply(std::size_t length) const;

    Bytes eeprom(uint16_t address, std::size_t size) const;
    void setEeprom(uint16_t address, const Bytes& bytes);
    const std::vector<uint8_t>& eepromImage() const { return eeprom_; }
    unsigned resetCount() const { return resets_; }

private:
    Bytes memoryCommand(const Bytes& payload, Devices& devices);
    Bytes bitExchange(const Bytes& payload, Devices& devices);
    Bytes eepromRead(const Bytes& payload) const;
    Bytes eepromWrite(const Bytes& payload);

    std::vector<uint8_t> eeprom_;
    unsigned resets_ = 0;
    Bytes reply_;
    FrameFacts replyFacts_;
};

}  // namespace baslink::sim
