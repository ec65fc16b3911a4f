#include "PortObjects.h"

#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>

#include "Clock.h"
#include "Messages.h"
#include "NeverDestroyed.h"
#include "PortNames.h"
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
    const bool firstUse = PuertoCreado == 0;
    PuertoCreado = 1;
    const bool opening = !ComPort;
    if (opening) {
        const std::string& device = DevicePort();
        if (!platform::PortDevicePresent(device) || !terminals_.MayFollow(portLink_)) {
            return OpenFailed();
        }
        ComPort = std::make_unique<TThreadComPort>();
        ComPort->Port = device;
        ComPort->AdmitDevice = [this](const struct stat& opened) {
            return terminals_.MayUse(opened);
        };
    }
    TThreadComPort& com = *ComPort;
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
    if (!opening) {
        return true;  // open since an earlier call; a device lost meanwhile fails the exchange
    }
    try {
        com.Open();
    } catch (const std::exception&) {
        // A port that cannot be opened fails this exchange only; the host keeps running
        // and a later exchange tries again with a new component. Every call and every turn
        // of the worker tries (a missing device costs a look, not an open), so the first
        // after the device is back opens it.
        ReleaseComponent();
        return OpenFailed();
    }
    openFailureShown_ = false;
    terminals_.Opened();
    // The pause of a port's first use gives its device time to settle, and only a first
    // use that opens the device pays it. A try of a missing device has nothing to settle,
    // and a later open (after the device went away, or after failed tries) is often the
    // worker's, where the pause would hold up every other port behind the lock.
    if (firstUse) {
        platform::PumpMessages();
        platform::SleepMs(kCreationPauseMs);
        platform::PumpMessages();
    }
    return true;
}

bool TQDK::OpenFailed() {
    // A port that keeps failing says so once, not at every attempt of every call; and only
    // to the host, whose call it fails. The worker shows no messages.
    if (!openFailureShown_ && !SilentPortOpens::Active()) {
        openFailureShown_ = true;
        ShowLibraryMessage(std::string(texts::kCannotOpenPort) + NombrePuerto);
    }
    return false;
}

bool TQDK::ReleaseIfDeviceLost() {
    if (!ComPort || ComPort->Active()) {
        return false;
    }
    ReleaseComponent();
    terminals_.Lost();
    return true;
}

void TQDK::ReleaseComponent() {
    if (ComPort) {
        ComPort->Close();
        ComPort.reset();
    }
}

const std::string& TQDK::DevicePort() {
    // A link that went may come back under another case of its name.
    std::error_code missing;
    if (!portLink_ ||
        !std::filesystem::exists(std::filesystem::symlink_status(*portLink_, missing))) {
        if (auto found = platform::PortLinkPath(NombrePuerto)) {
            portLink_ = std::move(found);
        }
    }
    return portLink_ ? *portLink_ : NombrePuerto;
}

namespace {
// How many SilentPortOpens live on this thread. Trivially destructible, so the library can
// be unloaded while threads that used it still run.
thread_local int silentOpens = 0;
}  // namespace

SilentPortOpens::SilentPortOpens() {
    ++silentOpens;
}

SilentPortOpens::~SilentPortOpens() {
    --silentOpens;
}

bool SilentPortOpens::Active() {
    return silentOpens > 0;
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
