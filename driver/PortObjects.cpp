#include "PortObjects.h"

#include <exception>
#include <mutex>

#include "Clock.h"
#include "Messages.h"
#include "NeverDestroyed.h"
#include "SeccionCritica.h"
#include "UserInterface.h"

namespace baslink {
namespace {

constexpr uint32_t kCreationPauseMs = 500;

// The driver takes no action on these events of the port.
void PuertoAbierto(TThreadComPort&) {}
void PuertoCerrado(TThreadComPort&) {}
void ErrorPuerto(TThreadComPort&) {}

}  // namespace

TQDK::TQDK(uint8_t number) : NombrePuerto("com" + std::to_string(number)) {}

TQDK::~TQDK() {
    ReleaseComponent();
}

bool TQDK::AbrirPuerto(ReceiveCheck check) {
    ReleaseIfDeviceLost();
    if (PuertoCreado == 0) {
        ComPort = std::make_unique<TThreadComPort>();
        PuertoCreado = 1;
        platform::PumpMessages();
        platform::SleepMs(kCreationPauseMs);
        platform::PumpMessages();
    }
    TThreadComPort& com = *ComPort;
    com.Port = NombrePuerto;
    com.Baud = 115200;
    com.DataBits = 8;
    com.Parity = ptNONE;
    com.ReceiveMode = rmCount;
    // Acts only once the port is open, so from the second exchange on.
    com.SetRTS(true);
    com.ReceiveCallBack = [this, check](TThreadComPort& sender, const std::string& data) {
        OnDelivery(check, sender, data);
    };
    com.OnPortOpen = PuertoAbierto;
    com.OnPortClose = PuertoCerrado;
    com.OnError = ErrorPuerto;
    try {
        com.Open();
        openFailureShown_ = false;
        return true;
    } catch (const std::exception&) {
        // A port that cannot be opened fails this exchange only; the host keeps running
        // and the next exchange tries again with a new component. A port that keeps
        // failing says so once, not at every attempt of every call.
        ReleaseComponent();
        if (!openFailureShown_) {
            openFailureShown_ = true;
            ShowLibraryMessage(std::string(texts::kCannotOpenPort) + NombrePuerto);
        }
        return false;
    }
}

bool TQDK::ReleaseIfDeviceLost() {
    if (PuertoCreado == 0 || ComPort->Active()) {
        return false;
    }
    ReleaseComponent();
    return true;
}

void TQDK::ReleaseComponent() {
    PuertoCreado = 0;
    if (ComPort) {
        ComPort->Close();
        ComPort.reset();
    }
}

void PortTable::Create() {
    std::unique_lock lock(lifetime_);
    for (uint8_t number = 1; number <= kPortCount; ++number) {
        ports_[number - 1] = std::make_unique<TQDK>(number);
    }
}

void PortTable::Release() {
    std::unique_lock lock(lifetime_);
    for (auto& port : ports_) {
        port.reset();
    }
}

TQDK* PortTable::Find(uint8_t number) {
    if (number < 1 || number > kPortCount) {
        return nullptr;
    }
    return ports_[number - 1].get();
}

bool PortTable::Read(uint8_t number, const std::function<void(const TQDK&)>& read) const {
    std::shared_lock lock(lifetime_);
    if (number < 1 || number > kPortCount || !ports_[number - 1]) {
        return false;
    }
    read(*ports_[number - 1]);
    return true;
}

PortTable& Puertos() {
    // At process exit the static objects may go before the library's stop has run, while
    // the worker still releases the ports; the stop releases the port objects themselves.
    static NeverDestroyed<PortTable> table;
    return table.get();
}

}  // namespace baslink
