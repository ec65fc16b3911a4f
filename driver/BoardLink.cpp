#include "BoardLink.h"

#include <algorithm>

#include "Checksums.h"
#include "Driver.h"
#include "ReplyWait.h"

namespace baslink {
namespace {

constexpr int32_t kSecuenciaMaxima = 200;
constexpr std::size_t kLargoAcuse = 8;

void AnadirCrc(uint8_t* trama, std::size_t largo) {
    const uint16_t crc = Crc16Modbus(trama, largo);
    trama[largo] = static_cast<uint8_t>(crc & 0xFF);
    trama[largo + 1] = static_cast<uint8_t>(crc >> 8);
}

bool PuedeEnviar(const TQDK& puerto) {
    return Parar == 0 && puerto.PuertoCreado != 0;
}

}  // namespace

int32_t AvanzarSecuencia(int32_t& secuencia) {
    secuencia += 1;
    if (secuencia > kSecuenciaMaxima) {
        secuencia = 1;
    }
    return secuencia;
}

uint8_t SiguienteSecuencia(TQDK& puerto) {
    return static_cast<uint8_t>(AvanzarSecuencia(puerto.Secuencia) & 0xFF);
}

std::vector<uint8_t> TramaEnvio(uint8_t esclavo, uint8_t funcion, const uint8_t* carga,
                                std::size_t n) {
    std::vector<uint8_t> trama(n + 9);
    trama[0] = esclavo;
    trama[1] = funcion;
    trama[2] = 0;
    trama[3] = 0;
    trama[4] = static_cast<uint8_t>(n >> 8);
    trama[5] = static_cast<uint8_t>(n & 0xFF);
    trama[6] = static_cast<uint8_t>(n & 0xFF);
    std::copy(carga, carga + n, trama.begin() + 7);
    AnadirCrc(trama.data(), n + 7);
    return trama;
}

std::array<uint8_t, 8> TramaPeticion(uint8_t esclavo, uint8_t funcion, uint16_t inicio,
                                     uint16_t len) {
    std::array<uint8_t, 8> trama{esclavo,
                                 funcion,
                                 static_cast<uint8_t>(inicio >> 8),
                                 static_cast<uint8_t>(inicio & 0xFF),
                                 static_cast<uint8_t>(len >> 8),
                                 static_cast<uint8_t>(len & 0xFF)};
    AnadirCrc(trama.data(), 6);
    return trama;
}

bool EnviarTramaCrc(TQDK& puerto, uint8_t esclavo, uint8_t funcion, const uint8_t* carga,
                    std::size_t n) {
    if (!PuedeEnviar(puerto) || n > kMaximoCarga) {
        return false;
    }
    const std::vector<uint8_t> trama = TramaEnvio(esclavo, funcion, carga, n);
    TThreadComPort& com = *puerto.ComPort;
    com.minTamanioRX = kLargoAcuse;
    com.Estado = kEstadoTramaEnviada;
    com.Send(trama.data(), static_cast<uint8_t>(trama.size()));
    return EsperarRespuesta(puerto, FinEspera::SoloBien);
}

bool EnviarQdk(TQDK& puerto, const uint8_t* carga, std::size_t n) {
    return EnviarTramaCrc(puerto, kDireccionPlaca, kFuncionEnvio, carga, n);
}

bool PedirTramaCrc(TQDK& puerto, uint8_t funcion, uint16_t inicio, uint8_t esclavo, uint16_t len,
                   uint8_t* buffer) {
    if (!PuedeEnviar(puerto)) {
        return false;
    }
    const std::array<uint8_t, 8> trama = TramaPeticion(esclavo, funcion, inicio, len);
    TThreadComPort& com = *puerto.ComPort;
    com.Estado = kEstadoPeticionEnviada;
    com.minTamanioRX = static_cast<uint8_t>((len + 5) % 256);
    com.Send(trama.data(), static_cast<uint8_t>(trama.size()));
    if (!EsperarRespuesta(puerto, FinEspera::BienOMal)) {
        return false;
    }
    const std::string respuesta = com.BufferRX();
    // The check covers only the first (length mod 256) bytes; a reply too short to hold
    // the payload is refused rather than read past its end.
    if (respuesta.size() < static_cast<std::size_t>(len) + 4) {
        return false;
    }
    for (std::size_t j = 1; j <= len; ++j) {
        buffer[j] = static_cast<uint8_t>(respuesta[j + 3]);
    }
    return true;
}

bool RecibirQdk(TQDK& puerto, uint8_t* buffer, uint16_t len) {
    return PedirTramaCrc(puerto, kFuncionPeticion, kInicioPeticion, kDireccionPlaca, len, buffer);
}

void RecepcionCrc(TQDK& puerto, TThreadComPort& sender, const std::string& datos) {
    if (Parar == 1) {
        return;
    }
    const std::size_t largo = datos.size() % 256;
    if (largo < 3) {
        return;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(datos.data());
    const uint16_t recibido = static_cast<uint16_t>(bytes[largo - 2] | (bytes[largo - 1] << 8));
    sender.Estado = Crc16Modbus(bytes, largo - 2) == recibido ? kEstadoBien : kEstadoMal;
    puerto.AvisarRespuesta();
}

}  // namespace baslink
