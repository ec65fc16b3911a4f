#include "ThreadComPort.h"

#include <utility>

#include "CommThread.h"
#include "NumberText.h"

namespace baslink {
namespace {

const char kIllegalTerminator[] =
    "Illegal terminator string.\rformat : #<asciicode>#<asciicode>#<...>\rexample: #13#10";
const char kEmptyTerminator[] = "Terminator string cannot be empty!";
const char kDefaultTerminator[] = "\r\n";

}  // namespace

TThreadComPort::TThreadComPort() = default;

TThreadComPort::~TThreadComPort() {
    Close();
}

void TThreadComPort::Open() {
    {
        std::lock_guard lifecycle(lifecycleMutex_);
        if (active_) {
            return;
        }
        ReleaseReader();  // one whose device went away
        auto reader = std::make_unique<TCommThread>(Port, AdmitDevice);
        // Line settings the device does not take fail the open as a missing device does:
        // the port must not run with settings other than those asked for.
        std::string reason = reader->OpenError();
        if (!reader->IsOpen() || !reader->SetLineParams(Baud, DataBits, Parity, StopBits, reason)) {
            throw EComError("TThreadComPort : cannot open " + Port + "\r" + reason);
        }
        reader->OnReceive = [this](uint32_t Count) { DataReceived(Count); };
        reader->OnStatus = [this](uint32_t EvtMask, uint32_t ModemStatus) {
            StatusChanged(EvtMask, ModemStatus);
        };
        reader->OnDeviceLost = [this] { active_ = false; };
        {
            std::lock_guard lock(readerMutex_);
            reader_ = std::move(reader);
        }
        active_ = true;
        reader_->Resume();
    }
    // Outside the lock, so that the handler may close or reopen the port.
    OnPortOpen(*this);
}

void TThreadComPort::Close() {
    {
        std::lock_guard lifecycle(lifecycleMutex_);
        // A reader exists from a good Open until here, also after its device went away.
        if (!reader_) {
            return;
        }
        active_ = false;
        ReleaseReader();
    }
    OnPortClose(*this);
}

void TThreadComPort::ReleaseReader() {
    if (!reader_) {
        return;
    }
    reader_->OnReceive = nullptr;
    reader_->OnStatus = nullptr;
    reader_->OnDeviceLost = nullptr;
    // Also ends a Send blocked in its write, which holds readerMutex_.
    reader_->SignalClose();
    reader_->WaitFor();
    std::unique_ptr<TCommThread> finished;
    {
        std::lock_guard lock(readerMutex_);
        finished = std::move(reader_);
    }
}  // the finished reader closes the device here

void TThreadComPort::SetRTS(bool Value) {
    std::lock_guard lock(readerMutex_);
    if (active_ && reader_) {
        reader_->SetRTS(Value);
    }
}

void TThreadComPort::Send(const void* Buf, uint8_t Count) {
    if (!active_) {
        return;
    }
    {
        std::lock_guard delivery(deliveryMutex_);
        std::lock_guard buffer(bufferMutex_);
        bufferRX_.clear();
        ++sendCount_;
    }
    std::lock_guard lock(readerMutex_);
    if (active_ && reader_) {
        reader_->WriteBytes(Buf, Count);
    }
}

std::string TThreadComPort::BufferRX() const {
    std::lock_guard lock(bufferMutex_);
    return bufferRX_;
}

void TThreadComPort::DataReceived(uint32_t Count) {
    if (Count == 0) {
        return;
    }
    std::lock_guard delivery(deliveryMutex_);
    std::string chunk(Count, '\0');
    // The bytes are taken off the device even when nobody receives them.
    chunk.resize(reader_->ReadBytes(chunk.data(), Count));
    const auto callback = ReceiveCallBack.Snapshot();
    if (!active_ || !callback || chunk.empty()) {
        return;
    }
    Deliver(chunk, *callback);
}

// Runs the callback outside the buffer lock: it may read BufferRX itself.
void TThreadComPort::Deliver(const std::string& chunk, const TReceiveProc& callback) {
    switch (ReceiveMode.load()) {
        case rmRAW:
            callback(*this, chunk);
            break;
        case rmTERM: {
            std::string message;
            {
                std::lock_guard lock(bufferMutex_);
                bufferRX_ += chunk;
                // At most one message per chunk; an empty terminator matches nothing.
                if (!terminatorBytes_.empty()) {
                    const auto at = bufferRX_.find(terminatorBytes_);
                    if (at != std::string::npos) {
                        message = bufferRX_.substr(0, at + terminatorBytes_.size());
                    }
                }
            }
            if (!message.empty()) {
                callback(*this, message);
                std::lock_guard lock(bufferMutex_);
                // A Send during the callback may have emptied the buffer already.
                bufferRX_.erase(0, message.size());
            }
            break;
        }
        case rmCount: {
            std::string whole;
            {
                std::lock_guard lock(bufferMutex_);
                bufferRX_ += chunk;
                if (bufferRX_.size() >= minTamanioRX.load()) {
                    whole = bufferRX_;
                }
            }
            if (!whole.empty()) {
                callback(*this, whole);
            }
            break;
        }
    }
}

void TThreadComPort::StatusChanged(uint32_t EvtMask, uint32_t ModemStatus) {
    // The status was sampled before the change, so a clear bit means the line is on now.
    if (EvtMask & platform::EV_CTS) {
        OnCTSChanged((ModemStatus & platform::MS_CTS_ON) == 0);
    }
    if (EvtMask & platform::EV_DSR) {
        OnDSRChanged((ModemStatus & platform::MS_DSR_ON) == 0);
    }
    if (EvtMask & platform::EV_RLSD) {
        OnRLSDChanged((ModemStatus & platform::MS_RLSD_ON) == 0);
    }
    if (EvtMask & platform::EV_RING) {
        OnRingChanged((ModemStatus & platform::MS_RING_ON) == 0);
    }
    if (EvtMask & platform::EV_ERR) {
        OnError(*this);
    }
}

std::string TThreadComPort::GetTerminator() const {
    std::lock_guard lock(bufferMutex_);
    std::string text;
    for (const char byte : terminatorBytes_) {
        text += '#' + std::to_string(static_cast<unsigned char>(byte));
    }
    return text;
}

void TThreadComPort::SetTerminator(std::string Value) {
    std::string bytes;
    // The first character is taken for the separator, whatever it is.
    if (!Value.empty()) {
        Value.erase(0, 1);
    }
    while (!Value.empty()) {
        std::string token;
        ExtractToken(Value, '#', token);
        const auto code = text::TextToInteger(token);
        if (!code) {
            std::lock_guard lock(bufferMutex_);
            terminatorBytes_ = kDefaultTerminator;
            throw EComError(kIllegalTerminator);
        }
        bytes += static_cast<char>(static_cast<uint8_t>(*code));
    }
    {
        std::lock_guard lock(bufferMutex_);
        terminatorBytes_ = bytes;
    }
    if (bytes.empty()) {
        throw EComError(kEmptyTerminator);
    }
}

void TThreadComPort::ExtractToken(std::string& S, char Sep, std::string& Token) {
    Token.clear();
    if (S.empty()) {
        return;
    }
    const auto at = S.find(Sep);
    if (at == std::string::npos) {
        Token = std::move(S);
        S.clear();
    } else {
        Token = S.substr(0, at);
        S.erase(0, at + 1);
    }
}

}  // namespace baslink
