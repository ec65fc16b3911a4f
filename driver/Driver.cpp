#include "Driver.h"

#include <mutex>

#include "PointModules.h"
#include "PortObjects.h"
#include "ReadCache.h"
#include "SeccionCritica.h"

namespace baslink {

std::atomic<uint8_t> Parar{0};
std::atomic<uint8_t> ThreadTerminado{0};
std::atomic<int32_t> DelayTransmisiones{10};
std::atomic<uint8_t> MemoriaACeroSiFallo{1};

void InicializarDriver() {
    Puertos().Create();
    ListaZoq().Create();
    EscriturasPendientes().Create();
}

void ReleaseDriverObjects() {
    std::lock_guard lock(SeccionCritica);
    Puertos().Release();
    EscriturasPendientes().Release();
    ListaZoq().Release();
}

}  // namespace baslink
