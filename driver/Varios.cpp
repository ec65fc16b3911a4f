#include "Varios.h"

#include "Driver.h"
#include "Worker.h"
#include "baslink.h"

namespace baslink {
namespace {

// One static text, so that every call returns the same address.
constexpr char kVersion[] = "1.39";

}  // namespace

void InicializarVarios() {
    Parar = 0;
}

void PararDriver() {
    if (Parar.exchange(1) == 1) {
        return;
    }
    StopWorker();
}

}  // namespace baslink

extern "C" {

BASLINK_API const char* BASLINK_CALL VersionDLL(void) {
    return baslink::kVersion;
}

BASLINK_API void BASLINK_CALL LibExit(void) {
    baslink::PararDriver();
}

}  // extern "C"
