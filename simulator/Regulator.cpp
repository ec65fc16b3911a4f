#include "Regulator.h"

namespace baslink::sim {

namespace {

constexpr std::size_t kBlockSize = 65536;
constexpr uint8_t kMailboxBlock = 7;
constexpr uint16_t kMailboxCommand = 116;
constexpr uint16_t kMailboxData = 120;
constexpr uint8_t kMailboxRead = 1;
constexpr uint8_t kMailboxWrite = 2;

// Addresses are 16-bit on both sides, so a transfer running past the top wraps.
std::size_t Wrapped(std::size_t address) {
    return address % kBlockSize;
}

}  // namespace

Bytes Regulator::memory(uint8_t block, uint16_t offset, std::size_t size) const {
    Bytes out(size, 0);
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        return out;
    }
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = found->second[Wrapped(offset + i)];
    }
    return out;
}

void Regulator::setMemory(uint8_t block, uint16_t offset, const Bytes& bytes) {
    auto& storage = blocks_[block];
    if (storage.empty()) {
        storage.assign(kBlockSize, 0);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        storage[Wrapped(offset + i)] = bytes[i];
    }
}

void Regulator::writeFromBus(uint8_t block, uint16_t offset, const Bytes& bytes) {
    setMemory(block, offset, bytes);
    const bool coversCommand = offset <= kMailboxCommand && offset + bytes.size() > kMailboxCommand;
    if (block == kMailboxBlock && coversCommand) {
        serveMailbox();
    }
}

Bytes Regulator::eeprom(uint16_t address, std::size_t size) const {
    Bytes out(size, 0xFF);
    if (eeprom_.empty()) {
        return out;
    }
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = eeprom_[Wrapped(address + i)];
    }
    return out;
}

void Regulator::setEeprom(uint16_t address, const Bytes& bytes) {
    if (eeprom_.empty()) {
        eeprom_.assign(kEepromSize, 0xFF);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        eeprom_[Wrapped(address + i)] = bytes[i];
    }
}

// The request is served at once, well inside the wait the driver allows, and the
// command byte is cleared to show it was done.
void Regulator::serveMailbox() {
    const Bytes request = memory(kMailboxBlock, kMailboxCommand, 4);
    const auto address = static_cast<uint16_t>(request[1] << 8 | request[2]);
    const std::size_t count = request[3];
    if (request[0] == kMailboxRead) {
        setMemory(kMailboxBlock, kMailboxData, eeprom(address, count));
    } else if (request[0] == kMailboxWrite) {
        setEeprom(address, memory(kMailboxBlock, kMailboxData, count));
    } else {
        return;
    }
    setMemory(kMailboxBlock, kMailboxCommand, {0});
}

}  // namespace baslink::sim
