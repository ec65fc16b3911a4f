#include "WorkerSteps.h"

#include <mutex>

#include "Clock.h"
#include "Driver.h"
#include "LinkMode.h"
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

// Whether a port has blocks: they are read at every pass, whether their device is there or
// not, so that the failures of a missing one count.
bool AnyPortWithBlocks() {
    for (uint8_t port = 1; port <= PortTable::kPortCount; ++port) {
        const TQDK* qdk = Puertos().Find(port);
        if (qdk != nullptr && qdk->Lecturas.Count() > 0) {
            return true;
        }
    }
    return false;
}

// A port in use is opened in its link mode before the worker exchanges on it. That sets
// the receive check of its mode, whatever an export of the other mode left, and opens the
// port again when its device has gone. When the device cannot be opened the exchange
// fails at once and counts as failed, silently (the steps hold SilentPortOpens). A port
// never in use is not opened.
void OpenForWorker(TQDK& qdk) {
    if (qdk.PuertoCreado != 0) {
        AbrirPuertoEnModo(qdk);
    }
}

bool WorkLeft() {
    std::lock_guard lock(SeccionCritica);
    return ListaZoq().AnyActive() || EscriturasPendientes().Count() > 0 || AnyPortWithBlocks();
}

}  // namespace

void PollActiveModules() {
    const int32_t count = ListaZoq().Count();
    const SilentPortOpens silent;
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
    const SilentPortOpens silent;
    std::lock_guard lock(SeccionCritica);
    for (int32_t left = EscriturasPendientes().Count(); left > 0 && !Stopping(); --left) {
        const auto write = EscriturasPendientes().TakeOldest();
        if (TQDK* qdk = Puertos().Find(write->Puerto)) {
            OpenForWorker(*qdk);
            // The outcome is not kept: a write goes out once.
            WriteRegulatorMemory(*qdk, write->NumVlx, write->Bloque, write->Base,
                                 static_cast<uint8_t>(write->Tamanio), write->Datos.data());
        }
    }
}

void ReadNextBlock(uint8_t port) {
    const SilentPortOpens silent;
    std::lock_guard lock(SeccionCritica);
    TQDK* qdk = Puertos().Find(port);
    if (qdk == nullptr || qdk->PuertoCreado == 0 || qdk->Lecturas.Count() == 0) {
        return;
    }
    OpenForWorker(*qdk);
    LeerSiguienteBloque(*qdk);
    platform::SleepMs(kStepSleepMs);
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
