// The read-cache and write-queue exports. None of them waits for the bus: reads are
// answered from the blocks the worker keeps fresh, writes are queued for the worker to
// send. They take SeccionCritica around their work on the lists, so they wait while the
// worker holds it for one of its steps. Once the library is stopping they all return at
// once, before touching a port object or a list: the worker is about to release them.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "Driver.h"
#include "LinkMode.h"
#include "Messages.h"
#include "PortArgument.h"
#include "ReadCache.h"
#include "SeccionCritica.h"
#include "Worker.h"
#include "baslink.h"

namespace baslink {
namespace {

// The typed reads and writes move their value's bytes as they lie in memory.
static_assert(std::endian::native == std::endian::little,
              "the cached values are handed over least significant byte first");

constexpr uint8_t kDirectMode = 1;

// A value of the cache, or 0 where no block holds it.
template <typename Value>
Value ReadCachedValue(uint8_t port, uint16_t node, uint16_t block, uint16_t offset) {
    Value value{};
    LeerMemoriaVLX2(port, 0, node, block, offset, sizeof(Value), &value);
    return value;
}

template <typename Value>
void QueueValue(uint8_t port, uint16_t node, uint8_t block, uint16_t offset, Value value) {
    EscribirMemoriaVLX2(port, 0, node, block, offset, sizeof(Value), &value);
}

}  // namespace
}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API void BASLINK_CALL AnadirLecturaVLX2(uint8_t port, uint8_t, uint16_t node, uint8_t block,
                                                uint16_t offset, uint16_t size, uint8_t mode,
                                                const char* name) {
    if (Parar == 1) {
        return;
    }
    if (size > kMaxPacketBytes) {
        ShowLibraryMessage(texts::kAnadirLecturaSize + std::to_string(kMaxPacketBytes));
        return;
    }
    if (!PortArgumentValid(port, texts::kAnadirLecturaPortZero, texts::kAnadirLecturaPortAbove)) {
        return;
    }
    {
        // The port is opened in the new mode: an exchange's own holder may not do that.
        const ExchangeLock lock;
        TQDK* qdk = lock.Held() ? Puertos().Find(port) : nullptr;
        if (qdk == nullptr) {
            return;
        }
        AnadirPeticion(*qdk, NewAccess(port, node, block, offset, size));
        // Only 1 selects direct frames here; any other value the board.
        qdk->ModoDirecto = mode == kDirectMode ? 1 : 0;
        qdk->Descripcion = name != nullptr ? name : "";
        AbrirPuertoEnModo(*qdk);
    }
    WakeWorker();  // blocks to read
}

BASLINK_API void BASLINK_CALL QuitarVlx2(uint8_t port, uint8_t, uint32_t) {
    if (Parar == 1 || !PortArgumentValid(port, texts::kQuitarPortZero, texts::kQuitarPortAbove)) {
        return;
    }
    std::lock_guard lock(SeccionCritica);
    if (TQDK* qdk = Puertos().Find(port)) {
        QuitarPeticiones(*qdk);
    }
}

BASLINK_API void BASLINK_CALL LeerMemoriaVLX2(uint8_t port, uint8_t, uint16_t node, uint16_t block,
                                              uint16_t offset, uint16_t size, void* destination) {
    if (Parar == 1 ||
        !PortArgumentValid(port, texts::kLeerMemoriaPortZero, texts::kLeerMemoriaPortAbove) ||
        destination == nullptr) {
        return;
    }
    std::lock_guard lock(SeccionCritica);
    if (TQDK* qdk = Puertos().Find(port)) {
        LeerDeBloques(*qdk, node, block, offset, size, static_cast<uint8_t*>(destination));
    }
}

BASLINK_API void BASLINK_CALL EscribirMemoriaVLX2(uint8_t port, uint8_t, uint16_t node,
                                                  uint8_t block, uint16_t offset, uint16_t size,
                                                  const void* source) {
    if (Parar == 1) {
        return;
    }
    // A queued write goes out in one bus exchange, which carries 24 bytes at most.
    if (size > kMaxPacketBytes) {
        ShowLibraryMessage(texts::kEscribirMemoriaSize + std::to_string(kMaxPacketBytes));
        return;
    }
    if (!PortArgumentValid(port, texts::kEscribirMemoriaPortZero,
                           texts::kEscribirMemoriaPortAbove) ||
        (size > 0 && source == nullptr)) {
        return;
    }
    auto write = NewAccess(port, node, block, offset, size);
    std::copy_n(static_cast<const uint8_t*>(source), size, write->Datos.begin());
    {
        std::lock_guard lock(SeccionCritica);
        EscriturasPendientes().Append(std::move(write));
    }
    WakeWorker();  // a write to send
}

BASLINK_API uint8_t BASLINK_CALL LeerVLX2_Byte(uint8_t port, uint8_t, uint16_t node, uint16_t block,
                                               uint16_t offset) {
    return ReadCachedValue<uint8_t>(port, node, block, offset);
}

BASLINK_API int16_t BASLINK_CALL LeerVLX2_Integer(uint8_t port, uint8_t, uint16_t node,
                                                  uint16_t block, uint16_t offset) {
    return ReadCachedValue<int16_t>(port, node, block, offset);
}

BASLINK_API int32_t BASLINK_CALL LeerVLX2_Long(uint8_t port, uint8_t, uint16_t node, uint16_t block,
                                               uint16_t offset) {
    return ReadCachedValue<int32_t>(port, node, block, offset);
}

BASLINK_API float BASLINK_CALL LeerVLX2_Single(uint8_t port, uint8_t, uint16_t node, uint16_t block,
                                               uint16_t offset) {
    return ReadCachedValue<float>(port, node, block, offset);
}

BASLINK_API void BASLINK_CALL EscribirVLX2_Byte(uint8_t port, uint8_t, uint16_t node, uint8_t block,
                                                uint16_t offset, uint8_t value) {
    QueueValue(port, node, block, offset, value);
}

BASLINK_API void BASLINK_CALL EscribirVLX2_Integer(uint8_t port, uint8_t, uint16_t node,
                                                   uint8_t block, uint16_t offset, int16_t value) {
    QueueValue(port, node, block, offset, value);
}

BASLINK_API void BASLINK_CALL EscribirVLX2_Long(uint8_t port, uint8_t, uint16_t node, uint8_t block,
                                                uint16_t offset, int32_t value) {
    QueueValue(port, node, block, offset, value);
}

BASLINK_API void BASLINK_CALL EscribirVLX2_Single(uint8_t port, uint8_t, uint16_t node,
                                                  uint8_t block, uint16_t offset, float value) {
    QueueValue(port, node, block, offset, value);
}

BASLINK_API uint8_t BASLINK_CALL CogerEstadoVLX2(uint8_t port, uint8_t node) {
    if (Parar == 1) {
        return 0;
    }
    std::lock_guard lock(SeccionCritica);
    TQDK* qdk = Puertos().Find(port);  // none outside 1..20
    return qdk != nullptr && EstadoDeNodo(*qdk, node).value_or(false) ? 1 : 0;
}

}  // extern "C"
