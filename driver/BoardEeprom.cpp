// The exports that reach the communication board itself: its EEPROM, its reset and
// its failure state. They always talk the board link, whatever the port's link mode,
// and hold the driver's lock for their exchange (ExchangeLock) so that the worker's
// exchanges on the same port cannot interleave with theirs.

#include <algorithm>
#include <array>
#include <cstdint>

#include "BoardLink.h"
#include "Driver.h"
#include "Messages.h"
#include "PortObjects.h"
#include "SeccionCritica.h"
#include "baslink.h"

namespace baslink {
namespace {

constexpr uint16_t kMaxEepromBytes = 24;
constexpr uint8_t kEepromReadCommand = 5;
constexpr uint8_t kEepromWriteCommand = 6;
constexpr std::array<uint8_t, 5> kResetPayload{7, 7, 7, 7, 7};
constexpr uint8_t kFailuresBeforeAlarm = 2;

// Sequence of the board EEPROM commands, shared by all ports. Used under SeccionCritica.
int32_t SecuenciaEprom = 1;

// The checks every EEPROM export makes before it touches the port.
bool EepromArgumentsValid(uint8_t port, uint16_t size, const uint8_t* data) {
    if (Parar == 1) {
        return false;
    }
    if (port < 1 || port > PortTable::kPortCount) {
        return false;
    }
    if (size > kMaxEepromBytes) {
        ShowLibraryMessage(texts::kMaximumSize);
        return false;
    }
    return size == 0 || data != nullptr;
}

// The port object ready for a board exchange, or none when the library has stopped or
// the port cannot be opened. The caller holds SeccionCritica.
TQDK* OpenForBoardLink(uint8_t port) {
    TQDK* qdk = Puertos().Find(port);
    if (qdk == nullptr || !qdk->AbrirPuerto(RecepcionCrc)) {
        return nullptr;
    }
    return qdk;
}

// One board EEPROM exchange: the checks, then under the lock the next sequence number
// and the opened port, which `exchange` uses to send and fetch.
template <typename Exchange>
uint8_t EepromExchange(uint8_t port, uint16_t size, const uint8_t* data, Exchange exchange) {
    if (!EepromArgumentsValid(port, size, data)) {
        return 0;
    }
    const ExchangeLock lock;
    if (!lock.Held()) {
        return 0;
    }
    const auto sequence = static_cast<uint8_t>(AdvanceSequence(SecuenciaEprom));
    TQDK* qdk = OpenForBoardLink(port);
    if (qdk == nullptr) {
        return 0;
    }
    return exchange(*qdk, sequence) ? 1 : 0;
}

std::array<uint8_t, 5> EepromHeader(uint8_t command, uint8_t sequence, uint16_t address,
                                    uint16_t size) {
    return {command, sequence, static_cast<uint8_t>(address >> 8),
            static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(size)};
}

}  // namespace
}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API uint8_t BASLINK_CALL EscribirBloqueEpromQDK(uint8_t port, uint16_t address,
                                                        uint16_t size, const uint8_t* source) {
    return EepromExchange(port, size, source, [&](TQDK& qdk, uint8_t sequence) {
        std::array<uint8_t, 5 + kMaxEepromBytes> payload{};
        const auto header = EepromHeader(kEepromWriteCommand, sequence, address, size);
        std::copy(header.begin(), header.end(), payload.begin());
        std::copy(source, source + size, payload.begin() + header.size());
        // The fetched reply lands in the same buffer: r1 is the sequence echo.
        return EnviarQdk(qdk, payload.data(), header.size() + size) &&
               RecibirQdk(qdk, payload.data(), 3) && payload[1] == sequence;
    });
}

BASLINK_API uint8_t BASLINK_CALL LeerBloqueEpromQDK(uint8_t port, uint16_t address, uint16_t size,
                                                    uint8_t* destination) {
    return EepromExchange(port, size, destination, [&](TQDK& qdk, uint8_t sequence) {
        const auto payload = EepromHeader(kEepromReadCommand, sequence, address, size);
        // Positions 0 .. size + 3 of the fetched reply: r1 is the sequence echo, the data
        // follow from r2. The destination is written only once the reply is accepted.
        std::array<uint8_t, kMaxEepromBytes + 4> reply{0xFF, 0xFF};
        if (!EnviarQdk(qdk, payload.data(), payload.size()) ||
            !RecibirQdk(qdk, reply.data(), size + 3) || reply[1] != sequence) {
            return false;
        }
        std::copy(reply.begin() + 2, reply.begin() + 2 + size, destination);
        return true;
    });
}

BASLINK_API void BASLINK_CALL ResetQDK(uint8_t port) {
    if (Parar == 1) {
        return;
    }
    const ExchangeLock lock;
    if (!lock.Held()) {
        return;
    }
    if (TQDK* qdk = OpenForBoardLink(port)) {
        // The board restarts; whether it acknowledged is not reported.
        EnviarQdk(*qdk, kResetPayload.data(), kResetPayload.size());
    }
}

BASLINK_API uint8_t BASLINK_CALL FalloQDK(uint8_t port) {
    if (Parar == 1) {
        return 0;
    }
    bool failing = false;
    Puertos().Read(port,
                   [&failing](const TQDK& qdk) { failing = qdk.FallosQdk > kFailuresBeforeAlarm; });
    return failing ? 1 : 0;
}

}  // extern "C"
