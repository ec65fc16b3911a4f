#include "Driver.h"

#include <type_traits>

#include "PortObjects.h"

namespace baslink {

static_assert(std::is_trivially_destructible_v<std::recursive_mutex>,
              "the lock must stay usable until the last thread of the library is gone");

std::atomic<uint8_t> Parar{0};
std::atomic<uint8_t> ThreadTerminado{0};
std::atomic<int32_t> DelayTransmisiones{10};
std::recursive_mutex SeccionCritica;

void InicializarDriver() {
    Puertos().Create();
}

void ReleaseDriverObjects() {
    std::lock_guard lock(SeccionCritica);
    Puertos().Release();
}

}  // namespace baslink
