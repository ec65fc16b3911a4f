#include "PortObjects.h"

#include <exception>

#include "Clock.h"
#include "Messages.h"
#include "NeverDestroyed.h"
#include "UserInterface.h"

namespace baslink {
namespace {

constexpr uint32_t kPausaCreacionMs = 500;

// The driver takes no action on these events of the port.
void PuertoAbierto(TThreadComPort&) {}
void PuertoCerrado(TThreadComPort&) {}
void ErrorPuerto(TThreadComPort&) {}

}  // namespace

TQDK::TQDK(uint8_t numero) : NombrePuerto("com" + std::to_string(numero)) {}

TQDK::~TQDK() {
    if (PuertoCreado.exchange(0) == 1) {
        ComPort->Close();
    }
}

void TQDK::AvisarRespuesta() {
    { std::lock_guard lock(avisoMutex_); }
    aviso_.notify_all();
}

void TQDK::EsperarAviso(std::chrono::milliseconds limite) {
    std::unique_lock lock(avisoMutex_);
    aviso_.wait_for(lock, limite);
}

void TablaPuertos::Crear() {
    std::unique_lock lock(vida_);
    for (uint8_t numero = 1; numero <= kCantidad; ++numero) {
        puertos_[numero - 1] = std::make_unique<TQDK>(numero);
    }
}

void TablaPuertos::Liberar() {
    std::unique_lock lock(vida_);
    for (auto& puerto : puertos_) {
        puerto.reset();
    }
}

TQDK* TablaPuertos::Puerto(uint8_t numero) {
    if (numero < 1 || numero > kCantidad) {
        return nullptr;
    }
    return puertos_[numero - 1].get();
}

bool TablaPuertos::Leer(uint8_t numero, const std::function<void(const TQDK&)>& leer) const {
    std::shared_lock lock(vida_);
    if (numero < 1 || numero > kCantidad || !puertos_[numero - 1]) {
        return false;
    }
    leer(*puertos_[numero - 1]);
    return true;
}

TablaPuertos& Puertos() {
    // At process exit the static objects may go before the library's stop has run, while
    // the worker still releases the ports; the stop releases the port objects themselves.
    static NeverDestroyed<TablaPuertos> puertos;
    return puertos.get();
}

bool AbrirPuerto(TQDK& puerto, ReceptorRespuesta receptor) {
    if (puerto.PuertoCreado == 0) {
        puerto.PuertoCreado = 1;
        puerto.ComPort = std::make_unique<TThreadComPort>();
        platform::PumpMessages();
        platform::SleepMs(kPausaCreacionMs);
        platform::PumpMessages();
    }
    TThreadComPort& com = *puerto.ComPort;
    com.Port = puerto.NombrePuerto;
    com.Baud = 115200;
    com.DataBits = 8;
    com.Parity = ptNONE;
    com.ReceiveMode = rmCount;
    // Acts only once the port is open, so from the second exchange on.
    com.SetRTS(true);
    com.ReceiveCallBack = [&puerto, receptor](TThreadComPort& sender, const std::string& datos) {
        receptor(puerto, sender, datos);
    };
    com.OnPortOpen = PuertoAbierto;
    com.OnPortClose = PuertoCerrado;
    com.OnError = ErrorPuerto;
    try {
        com.Open();
        return true;
    } catch (const std::exception&) {
        // A port that cannot be opened fails this exchange only; the host keeps running
        // and the next exchange tries again with a new component.
        com.Close();
        platform::ShowMessage(std::string(texts::kImposibleAbrirPuerto) + puerto.NombrePuerto);
        platform::PumpMessages();
        puerto.ComPort.reset();
        puerto.PuertoCreado = 0;
        return false;
    }
}

}  // namespace baslink
