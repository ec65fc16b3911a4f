#include "WorkerSteps.h"

#include <mutex>

#include "Clock.h"
#include "Driver.h"
#include "PointModules.h"
#include "PortObjects.h"
#include "ReadCache.h"
#include "RegulatorMemory.h"
#include "SeccionCritica.h"

namespace baslink {
namespace {

// What the worker sleeps after each poll and each block read, to leave time to the
// other threads.
constexpr uint32_t kStepSleepMs = 5;

bool Stopping() {
    return Parar == 1;
}

// Whether a port has blocks, opened or not: a port that failed to open, or whose device
// went away, is opened again by a synchronous call, which does not wake the worker; its
// blocks are read from the next pass on.
bool AnyPortWithBlocks() {
    for (uint8_t port = 1; port <= PortTable::kPortCount; ++port) {
        const TQDK* qdk = Puertos().Find(port);
        if (qdk != nullptr && qdk->Lecturas.Count() > 0) {
            return true;
        }
    }
    return false;
}

bool WorkLeft() {
    std::lock_guard lock(SeccionCritica);
    return ListaZoq().AnyActive() || EscriturasPendientes().Count() > 0 || AnyPortWithBlocks();
}

}  // namespace

void PollActiveModules() {
    const int32_t count = ListaZoq().Count();
    for (int32_t position = 1; position <= count && !Stopping(); ++position) {
        bool polled = false;
        {
            // A plain hold: the poll's own exchange takes the exchange lock inside it.
            std::lock_guard lock(SeccionCritica);
            if (TDatosZOQ* module = ListaZoq().ActiveAt(position)) {
                InterrogarZoq(*module);
                polled = true;
            }
        }
        if (polled) {
            platform::SleepMs(kStepSleepMs);
        }
    }
}

void SendPendingWrites() {
    std::lock_guard lock(SeccionCritica);
    for (int32_t left = EscriturasPendientes().Count(); left > 0 && !Stopping(); --left) {
        const auto write = EscriturasPendientes().TakeOldest();
        if (TQDK* qdk = Puertos().Find(write->Puerto)) {
            // The outcome is not kept: a write goes out once.
            WriteRegulatorMemory(*qdk, write->NumVlx, write->Bloque, write->Base,
                                 static_cast<uint8_t>(write->Tamanio), write->Datos.data());
        }
    }
}

void ReadNextBlock(uint8_t port) {
    std::lock_guard lock(SeccionCritica);
    TQDK* qdk = Puertos().Find(port);
    if (qdk != nullptr && qdk->PuertoCreado != 0 && LeerSiguienteBloque(*qdk)) {
        platform::SleepMs(kStepSleepMs);
    }
}

bool Pasada() {
    for (uint8_t port = 1; port <= PortTable::kPortCount; ++port) {
        if (Stopping()) {
            break;
        }
        PollActiveModules();
        if (Stopping()) {
            break;
        }
        SendPendingWrites();
        if (Stopping()) {
            break;
        }
        ReadNextBlock(port);
    }
    return WorkLeft();
}

}  // namespace baslink
