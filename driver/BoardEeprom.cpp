// The exports that reach the communication board itself: its EEPROM, its reset and
// its failure state. They always talk the board link, whatever the port's link mode,
// and hold the driver's lock for their exchange so that the worker's exchanges on the
// same port cannot interleave with theirs.

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>

#include "BoardLink.h"
#include "Driver.h"
#include "Messages.h"
#include "PortObjects.h"
#include "UserInterface.h"
#include "baslink.h"

namespace baslink {
namespace {

constexpr uint16_t kMaximoBytesEeprom = 24;
constexpr uint8_t kOrdenLeerEeprom = 5;
constexpr uint8_t kOrdenEscribirEeprom = 6;
constexpr std::array<uint8_t, 5> kOrdenReset{7, 7, 7, 7, 7};
constexpr uint8_t kFallosParaAviso = 2;

// Sequence of the board EEPROM commands, shared by all ports. Used under SeccionCritica.
int32_t SecuenciaEprom = 1;

// The checks every EEPROM export makes before it touches the port.
bool ArgumentosEepromValidos(uint8_t port, uint16_t size, const uint8_t* datos) {
    if (Parar == 1) {
        return false;
    }
    if (port < 1 || port > TablaPuertos::kCantidad) {
        return false;
    }
    if (size > kMaximoBytesEeprom) {
        platform::ShowMessage(texts::kTamanioMaximo);
        return false;
    }
    return size == 0 || datos != nullptr;
}

// The port object ready for a board exchange, or none when the library has stopped or
// the port cannot be opened. The caller holds SeccionCritica.
TQDK* PuertoAbiertoEnModoPlaca(uint8_t port) {
    TQDK* puerto = Puertos().Puerto(port);
    if (puerto == nullptr || !AbrirPuerto(*puerto, RecepcionCrc)) {
        return nullptr;
    }
    return puerto;
}

// One board EEPROM exchange: the checks, then under the lock the next sequence number
// and the opened port, which `intercambio` uses to send and fetch.
template <typename Intercambio>
uint8_t IntercambioEeprom(uint8_t port, uint16_t size, const uint8_t* datos,
                          Intercambio intercambio) {
    if (!ArgumentosEepromValidos(port, size, datos)) {
        return 0;
    }
    std::lock_guard lock(SeccionCritica);
    const auto secuencia = static_cast<uint8_t>(AvanzarSecuencia(SecuenciaEprom));
    TQDK* puerto = PuertoAbiertoEnModoPlaca(port);
    if (puerto == nullptr) {
        return 0;
    }
    return intercambio(*puerto, secuencia) ? 1 : 0;
}

std::array<uint8_t, 5> CabeceraEeprom(uint8_t orden, uint8_t secuencia, uint16_t address,
                                      uint16_t size) {
    return {orden, secuencia, static_cast<uint8_t>(address >> 8),
            static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(size)};
}

}  // namespace
}  // namespace baslink

using namespace baslink;

extern "C" {

BASLINK_API uint8_t BASLINK_CALL EscribirBloqueEpromQDK(uint8_t port, uint16_t address,
                                                        uint16_t size, const uint8_t* source) {
    return IntercambioEeprom(port, size, source, [&](TQDK& puerto, uint8_t secuencia) {
        std::array<uint8_t, 5 + kMaximoBytesEeprom> carga{};
        const auto cabecera = CabeceraEeprom(kOrdenEscribirEeprom, secuencia, address, size);
        std::copy(cabecera.begin(), cabecera.end(), carga.begin());
        std::copy(source, source + size, carga.begin() + cabecera.size());
        // The fetched reply lands in the same buffer: r1 is the sequence echo.
        return EnviarQdk(puerto, carga.data(), cabecera.size() + size) &&
               RecibirQdk(puerto, carga.data(), 3) && carga[1] == secuencia;
    });
}

BASLINK_API uint8_t BASLINK_CALL LeerBloqueEpromQDK(uint8_t port, uint16_t address, uint16_t size,
                                                    uint8_t* destination) {
    return IntercambioEeprom(port, size, destination, [&](TQDK& puerto, uint8_t secuencia) {
        const auto carga = CabeceraEeprom(kOrdenLeerEeprom, secuencia, address, size);
        // Positions 0 .. size + 3 of the fetched reply: r1 is the sequence echo, the data
        // follow from r2. The destination is written only once the reply is accepted.
        std::array<uint8_t, kMaximoBytesEeprom + 4> respuesta{0xFF, 0xFF};
        if (!EnviarQdk(puerto, carga.data(), carga.size()) ||
            !RecibirQdk(puerto, respuesta.data(), size + 3) || respuesta[1] != secuencia) {
            return false;
        }
        std::copy(respuesta.begin() + 2, respuesta.begin() + 2 + size, destination);
        return true;
    });
}

BASLINK_API void BASLINK_CALL ResetQDK(uint8_t port) {
    if (Parar == 1) {
        return;
    }
    std::lock_guard lock(SeccionCritica);
    if (TQDK* puerto = PuertoAbiertoEnModoPlaca(port)) {
        // The board restarts; whether it acknowledged is not reported.
        EnviarQdk(*puerto, kOrdenReset.data(), kOrdenReset.size());
    }
}

BASLINK_API uint8_t BASLINK_CALL FalloQDK(uint8_t port) {
    if (Parar == 1) {
        return 0;
    }
    bool fallando = false;
    Puertos().Leer(
        port, [&fallando](const TQDK& puerto) { fallando = puerto.FallosQdk > kFallosParaAviso; });
    return fallando ? 1 : 0;
}

}  // extern "C"
