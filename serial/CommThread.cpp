#include "CommThread.h"

#include <utility>

#include "Threads.h"

namespace baslink {
namespace {

constexpr uint32_t kEventMask = platform::EV_RXCHAR | platform::EV_CTS | platform::EV_DSR |
                                platform::EV_RLSD | platform::EV_ERR | platform::EV_RING;

}  // namespace

TCommThread::TCommThread(std::string PortName, const platform::DeviceAdmission& admit)
    : portName_(std::move(PortName)) {
    auto opened = platform::OpenSerialDevice(portName_, admit);
    device_ = std::move(opened.device);
    openError_ = std::move(opened.error);
    if (device_) {
        // A first setting only: Open sets the component's own and fails when the line
        // does not take those. A line without parity (a pseudo-terminal) refuses this one.
        std::string ignored;
        (void)SetLineParams(9600, 8, platform::kParityEven, platform::kStopBitsOne, ignored);
        ResetLines();
    }
}

TCommThread::TCommThread(std::string PortName, std::unique_ptr<platform::SerialDevice> device,
                         std::string openError)
    : portName_(std::move(PortName)),
      device_(std::move(device)),
      openError_(std::move(openError)) {}

TCommThread::~TCommThread() {
    if (thread_.joinable()) {
        SignalClose();
        WaitFor();
    }
}

bool TCommThread::SetLineParams(uint32_t Baud, uint8_t DataBits, uint8_t Parity, uint8_t StopBits,
                                std::string& error) {
    if (!device_) {
        error = "the device is not open";
        return false;
    }
    return device_->SetLineParams(Baud, DataBits, Parity, StopBits, error);
}

void TCommThread::ResetLines() {
    if (device_) {
        device_->Purge();
        device_->SetDtr(false);
        device_->SetRts(false);
    }
}

void TCommThread::SetRTS(bool Value) {
    if (device_) {
        device_->SetRts(Value);
    }
}

void TCommThread::Resume() {
    if (device_ && !thread_.joinable()) {
        thread_ = std::thread([this] { Execute(); });
    }
}

void TCommThread::SignalClose() {
    OnReceive = nullptr;
    if (device_) {
        device_->RequestClose();
    }
}

void TCommThread::WaitFor() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

uint32_t TCommThread::ReadBytes(void* Buffer, uint32_t Count) {
    if (Count == 0 || !device_) {
        return 0;
    }
    return static_cast<uint32_t>(device_->Read(Buffer, Count));
}

uint32_t TCommThread::WriteBytes(const void* Buffer, uint32_t Count) {
    if (Count == 0 || !device_) {
        return 0;
    }
    return static_cast<uint32_t>(device_->Write(Buffer, Count));
}

void TCommThread::Execute() {
    platform::SetCurrentThreadPriority(platform::ThreadPriority::AboveNormal);
    for (;;) {
        // The line state that the wait's line changes start from.
        const uint32_t modemStatus = device_->ModemStatus();
        const platform::WaitResult result = device_->WaitEvent(kEventMask);
        // A close request wins over events of the same wait.
        if (result.closeRequested) {
            platform::SetCurrentThreadPriority(platform::ThreadPriority::Lowest);
            return;
        }
        if (result.events != 0) {
            DispatchEvents(result.events, modemStatus);
        }
        if (result.deviceGone) {
            OnDeviceLost();
            return;
        }
    }
}

void TCommThread::DispatchEvents(uint32_t EvtMask, uint32_t ModemStatus) {
    const uint32_t queued = device_->BytesQueued();
    // Received bytes go first, before the line events of the same wait.
    if (EvtMask & platform::EV_RXCHAR) {
        OnReceive(queued);
        EvtMask &= ~platform::EV_RXCHAR;
    }
    if (EvtMask != 0) {
        OnStatus(EvtMask, ModemStatus);
    }
}

}  // namespace baslink
