// The exports that read and write a regulator's memory, and its EEPROM through the
// mailbox in its memory, waiting for the answer; and the two settings that the reads and
// the worker use. Each exchange runs in the link mode its caller names and holds the
// driver's lock (ExchangeLock) from storing that mode to the end of the exchange, so the
// worker never sees a port's mode or receive check change in the middle of one of its own.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>

#include "Clock.h"
#include "Driver.h"
#include "LinkMode.h"
#include "Messages.h"
#include "PortArgument.h"
#include "PortObjects.h"
#include "RegulatorAccess.h"
#include "RegulatorMemory.h"
#include "SeccionCritica.h"
#include "UserInterface.h"
#include "baslink.h"

namespace baslink {
namespace {

// Values travel in the order their bytes lie in memory, least significant first.
static_assert(std::endian::native == std::endian::little,
              "the value exports hand the bytes of their values over as they lie in memory");

// The EEPROM mailbox in the regulator's memory: a request of command, address (high byte
// first) and count at offset 116 of block 7, the data from offset 120 on.
constexpr uint8_t kMailboxBlock = 7;
constexpr uint16_t kMailboxRequest = 116;
constexpr uint16_t kMailboxData = 120;
constexpr uint8_t kMailboxRead = 1;
constexpr uint8_t kMailboxWrite = 2;
constexpr uint16_t kMailboxHead = 4;
// How long the regulator is given per byte to fetch an EEPROM read into the mailbox.
constexpr uint32_t kEepromMsPerByte = 20;

bool PortInRange(uint8_t port) {
    return port >= 1 && port <= PortTable::kPortCount;
}

bool HasBytes(uint32_t size, const void* data) {
    return size == 0 || data != nullptr;
}

// The block exports' checks, in this order: only the first that fails shows its message.
bool BlockArgumentsValid(uint8_t port, uint32_t size) {
    if (size > kMaxPacketBytes) {
        ShowLibraryMessage(texts::kMaximumPacket + std::to_string(kMaxPacketBytes));
        return false;
    }
    return PortArgumentValid(port, texts::kPortAboveZero, texts::kPortBelow);
}

// One exchange on a regulator's memory: under the lock the port's link mode is stored,
// the port opened with that mode's receive check, and `exchange` run on it. On a port
// whose device cannot be opened the exchange fails at once and counts as one that failed
// on the line, so FalloQDK and the fill rule tell a missing device as they tell a silent
// one, as the worker's reads and writes of the same port do.
template <typename Exchange>
uint8_t MemoryExchange(uint8_t port, uint8_t mode, Exchange exchange) {
    const ExchangeLock lock;
    if (!lock.Held()) {
        return 0;
    }
    TQDK* qdk = Puertos().Find(port);
    if (qdk == nullptr) {
        return 0;
    }
    OpenInMode(*qdk, mode);
    return exchange(*qdk) ? 1 : 0;
}

uint8_t ReadBlock(uint8_t port, uint8_t mode, uint16_t node, uint8_t block, uint16_t offset,
                  uint16_t size, uint8_t* destination) {
    if (Parar == 1 || !BlockArgumentsValid(port, size) || !HasBytes(size, destination)) {
        return 0;
    }
    return MemoryExchange(port, mode, [&](TQDK& qdk) {
        return ReadRegulatorMemory(qdk, node, block, offset, static_cast<uint8_t>(size),
                                   destination);
    });
}

uint8_t WriteBlock(uint8_t port, uint8_t mode, uint16_t node, uint8_t block, uint16_t offset,
                   uint16_t size, const uint8_t* source) {
    if (Parar == 1 || !BlockArgumentsValid(port, size) || !HasBytes(size, source)) {
        return 0;
    }
    return MemoryExchange(port, mode, [&](TQDK& qdk) {
        return WriteRegulatorMemory(qdk, node, block, offset, static_cast<uint8_t>(size), source);
    });
}

// The byte, word, long and float exports differ only in their value's size (the float
// goes as its four bytes, like the long). They check no port with a message: a port
// outside 1 to 20, or a missing destination, fails at once with nothing sent.
template <typename Value>
uint8_t WriteValue(uint8_t port, uint8_t mode, uint16_t node, uint8_t block, uint16_t offset,
                   Value value) {
    if (Parar == 1 || !PortInRange(port)) {
        return 0;
    }
    const auto bytes = std::bit_cast<std::array<uint8_t, sizeof(Value)>>(value);
    return MemoryExchange(port, mode, [&](TQDK& qdk) {
        return WriteRegulatorMemory(qdk, node, block, offset, bytes.size(), bytes.data());
    });
}

// The `Size` bytes read land directly in the caller's variable, in memory order; a failed
// read leaves it as the read routine left it (untouched, or all ones by the fill rule).
template <uint8_t Size>
uint8_t ReadValue(uint8_t port, uint8_t mode, uint16_t node, uint8_t block, uint16_t offset,
                  void* destination) {
    if (Parar == 1 || !PortInRange(port) || destination == nullptr) {
        return 0;
    }
    return MemoryExchange(port, mode, [&](TQDK& qdk) {
        return ReadRegulatorMemory(qdk, node, block, offset, Size,
                                   static_cast<uint8_t*>(destination));
    });
}

std::array<uint8_t, kMailboxHead> MailboxHead(uint8_t command, uint16_t address, uint16_t size) {
    return {command, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF),
            static_cast<uint8_t>(size & 0xFF)};
}

}  // namespace
}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API uint8_t BASLINK_CALL EscribirByteRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                       uint8_t block, uint16_t offset,
                                                       uint8_t value) {
    return WriteValue(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL EscribirWordRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                       uint8_t block, uint16_t offset,
                                                       uint16_t value) {
    return WriteValue(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL EscribirLongRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                       uint8_t block, uint16_t offset,
                                                       int32_t value) {
    return WriteValue(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL EscribirFloatRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                        uint8_t block, uint16_t offset,
                                                        float value) {
    return WriteValue(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL LeerByteRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                   uint8_t block, uint16_t offset, void* value) {
    return ReadValue<1>(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL LeerWordRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                   uint8_t block, uint16_t offset, void* value) {
    return ReadValue<2>(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL LeerLongRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                   uint8_t block, uint16_t offset, void* value) {
    return ReadValue<4>(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL LeerFloatRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                    uint8_t block, uint16_t offset, void* value) {
    return ReadValue<4>(port, mode, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL LeerBloqueMemoriaRegulador(uint8_t port, uint8_t mode,
                                                            uint16_t node, uint8_t block,
                                                            uint16_t offset, uint16_t size,
                                                            uint8_t* destination) {
    return ReadBlock(port, mode, node, block, offset, size, destination);
}

BASLINK_API uint8_t BASLINK_CALL EscribirBloqueMemoriaRegulador(uint8_t port, uint8_t mode,
                                                                uint16_t node, uint8_t block,
                                                                uint16_t offset, uint16_t size,
                                                                const uint8_t* source) {
    return WriteBlock(port, mode, node, block, offset, size, source);
}

// The request and its data go in one write; the export returns once the write is
// acknowledged, without waiting for the regulator to store the bytes.
BASLINK_API uint8_t BASLINK_CALL EscribirBloqueEpromRegulador(uint8_t port, uint8_t mode,
                                                              uint16_t node, uint8_t,
                                                              uint16_t address, uint16_t size,
                                                              const uint8_t* source) {
    // The request's head takes 4 of the packet's bytes, so 20 are left for the data.
    if (Parar == 1 || !BlockArgumentsValid(port, uint32_t{size} + kMailboxHead) ||
        !HasBytes(size, source)) {
        return 0;
    }
    std::array<uint8_t, kMaxPacketBytes> request{};
    const auto head = MailboxHead(kMailboxWrite, address, size);
    std::copy(head.begin(), head.end(), request.begin());
    std::copy_n(source, size, request.begin() + kMailboxHead);
    return WriteBlock(port, mode, node, kMailboxBlock, kMailboxRequest,
                      static_cast<uint16_t>(size + kMailboxHead), request.data());
}

// The request is written, the regulator is given 20 ms per byte to fetch the bytes into
// the mailbox, and they are read from there; the lock is let go for that wait. The request
// is composed in a buffer of the export's own: the caller's buffer receives only the bytes
// read, so a caller reading fewer than 4 bytes needs no more room than it reads.
BASLINK_API uint8_t BASLINK_CALL LeerBloqueEpromRegulador(uint8_t port, uint8_t mode, uint16_t node,
                                                          uint8_t, uint16_t address, uint16_t size,
                                                          uint8_t* destination) {
    if (Parar == 1 || !HasBytes(size, destination)) {
        return 0;
    }
    const auto request = MailboxHead(kMailboxRead, address, size);
    if (WriteBlock(port, mode, node, kMailboxBlock, kMailboxRequest, kMailboxHead,
                   request.data()) == 0) {
        return 0;
    }
    platform::SleepMs(uint32_t{size} * kEepromMsPerByte);
    platform::PumpMessages();
    // A size above the packet limit is refused only here, as the read's own check.
    return ReadBlock(port, mode, node, kMailboxBlock, kMailboxData, size, destination);
}

BASLINK_API void BASLINK_CALL PonerMemoriACeroSifallo(uint8_t flag) {
    MemoriaACeroSiFallo = flag;
}

BASLINK_API void BASLINK_CALL DelayEntreTranmisiones(int32_t milliseconds) {
    DelayTransmisiones = milliseconds;
}

}  // extern "C"
