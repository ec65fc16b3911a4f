#include "PortObjects.h"

#include <exception>

#include "Clock.h"
#include "Messages.h"
#include "NeverDestroyed.h"
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
    if (PuertoCreado.exchange(0) == 1) {
        ComPort->Close();
    }
}

void TQDK::NotifyReplyJudged() {
    { std::lock_guard lock(noticeMutex_); }
    notice_.notify_all();
}

void TQDK::WaitForReplyNotice(std::chrono::milliseconds limit) {
    std::unique_lock lock(noticeMutex_);
    notice_.wait_for(lock, limit);
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

bool AbrirPuerto(TQDK& qdk, ReceiveCheck check) {
    if (qdk.PuertoCreado == 0) {
        qdk.PuertoCreado = 1;
        qdk.ComPort = std::make_unique<TThreadComPort>();
        platform::PumpMessages();
        platform::SleepMs(kCreationPauseMs);
        platform::PumpMessages();
    }
    TThreadComPort& com = *qdk.ComPort;
    com.Port = qdk.NombrePuerto;
    com.Baud = 115200;
    com.DataBits = 8;
    com.Parity = ptNONE;
    com.ReceiveMode = rmCount;
    // Acts only once the port is open, so from the second exchange on.
    com.SetRTS(true);
    com.ReceiveCallBack = [&qdk, check](TThreadComPort& sender, const std::string& data) {
        check(qdk, sender, data);
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
        platform::ShowMessage(std::string(texts::kCannotOpenPort) + qdk.NombrePuerto);
        platform::PumpMessages();
        qdk.ComPort.reset();
        qdk.PuertoCreado = 0;
        return false;
    }
}

}  // namespace baslink
