#include "ReplyWait.h"

#include <chrono>

#include "Clock.h"
#include "UserInterface.h"

namespace baslink {
namespace {

// Between passes the wait sleeps until the receive check signals, or this long.
constexpr std::chrono::milliseconds kPausaEntrePasadas{1};

}  // namespace

bool EsperarRespuesta(TQDK& puerto, FinEspera fin) {
    const uint32_t inicio = platform::TickCount();
    for (;;) {
        platform::PumpMessages();
        puerto.EsperarAviso(kPausaEntrePasadas);
        // The time is tested before the state: a reply judged after the limit is too late.
        if (static_cast<uint32_t>(platform::TickCount() - inicio) > kTiempoRespuestaMs) {
            return false;
        }
        const uint8_t estado = puerto.ComPort->Estado;
        if (estado == kEstadoMal && fin == FinEspera::BienOMal) {
            return false;
        }
        if (estado == kEstadoBien) {
            return true;
        }
    }
}

}  // namespace baslink
