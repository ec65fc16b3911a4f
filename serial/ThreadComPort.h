#pragma once
// TThreadComPort: one serial port, opened by name and configured, written from the
// user's thread and read by its own reader thread (TCommThread), which hands received
// bytes to ReceiveCallBack in one of three receive modes and reports line events.
//
// Threads: Open, Close, Send, SetRTS and the property writes belong to the user's
// threads. ReceiveCallBack, the line-change handlers and OnError run on the reader
// thread; OnPortOpen and OnPortClose run inside Open and Close. Once Close has
// returned no handler of this port runs any more. Close must not be called from a
// handler that runs on the reader thread.
//
// When the device goes away (an adapter unplugged, the other end of a pseudo-terminal
// closed) the reader ends and the component stops being Active: Send and SetRTS do
// nothing from then on. Close, or the next Open, releases what is left of the device.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "CallbackSlot.h"
#include "SerialDevice.h"

namespace baslink {

class TCommThread;
class TThreadComPort;

// Raised when the device cannot be opened or a terminator text is malformed.
class EComError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The ordinals are the codes the device layer takes.
enum TParity : uint8_t { ptNONE = 0, ptODD = 1, ptEVEN = 2, ptMARK = 3, ptSPACE = 4 };
enum TStopBit : uint8_t { sbONE = 0, sbONE5 = 1, snTWO = 2 };
enum TReceiveMode : uint8_t { rmRAW = 0, rmTERM = 1, rmCount = 2 };

// Sender is the component; Data is the delivered bytes, one char per byte.
using TReceiveProc = std::function<void(TThreadComPort& Sender, const std::string& Data)>;
using TStatusChanged = std::function<void(bool Status)>;
using TNotifyEvent = std::function<void(TThreadComPort& Sender)>;

class TThreadComPort {
public:
    TThreadComPort();
    ~TThreadComPort();  // closes the port first
    TThreadComPort(const TThreadComPort&) = delete;
    TThreadComPort& operator=(const TThreadComPort&) = delete;

    // Line settings; they take effect at the next Open.
    std::string Port = "COM1";  // a port name (com1 ... com20) or an absolute device path
    uint32_t Baud = 115200;
    uint8_t DataBits = 8;
    // The user's state byte: the component never reads or writes it after construction.
    std::atomic<uint8_t> Estado{0};
    // In rmCount, the collected length from which BufferRX is delivered.
    std::atomic<uint8_t> minTamanioRX{0};
    TParity Parity = ptNONE;
    TStopBit StopBits = sbONE;
    // Kept for the callers that set them; the kernel sizes its own queues.
    uint32_t WinQSizeIn = 8192;
    uint32_t WinQSizeOut = 8192;
    std::atomic<TReceiveMode> ReceiveMode{rmTERM};
    // Asked at each Open whether the device opened may be used, before anything of it
    // changes; a refusal fails the Open. Unset, every terminal is used.
    platform::DeviceAdmission AdmitDevice;

    // The rmTERM terminator as text: "#" and a decimal code per byte, e.g. "#13#10".
    // SetTerminator raises EComError on a malformed text.
    std::string GetTerminator() const;
    void SetTerminator(std::string Value);

    CallbackSlot<TNotifyEvent> OnPortOpen;
    CallbackSlot<TNotifyEvent> OnPortClose;
    CallbackSlot<TReceiveProc> ReceiveCallBack;
    CallbackSlot<TStatusChanged> OnCTSChanged;
    CallbackSlot<TStatusChanged> OnDSRChanged;
    CallbackSlot<TStatusChanged> OnRingChanged;
    CallbackSlot<TStatusChanged> OnRLSDChanged;
    CallbackSlot<TNotifyEvent> OnError;

    // Opens the device and starts the reader; does nothing while open. Raises EComError
    // ("TThreadComPort : cannot open " + Port + CR + the system's reason) on failure.
    void Open();
    // Stops the reader, waits for its end and closes the device; nothing while closed.
    void Close();
    // Raises or drops RTS; nothing while closed.
    void SetRTS(bool Value);
    // Empties BufferRX, then writes Count bytes of Buf; returns once they are written
    // (or the port failed), so Buf may be released at once. Nothing while closed.
    // A delivery in progress ends before the buffer is emptied, so no ReceiveCallBack
    // that starts afterwards hands over bytes from before it.
    void Send(const void* Buf, uint8_t Count);

    // How many Sends have emptied BufferRX so far. Inside ReceiveCallBack it is the count
    // of the Send after which the delivered bytes arrived (see Send).
    uint32_t SendCount() const { return sendCount_.load(); }

    bool Active() const { return active_.load(); }
    // A copy of the bytes collected in rmTERM and rmCount and not yet consumed.
    std::string BufferRX() const;

    // The reader's two handlers; they run on the reader thread.
    void DataReceived(uint32_t Count);
    void StatusChanged(uint32_t EvtMask, uint32_t ModemStatus);

    // Splits the next field, up to the first Sep, off the front of S.
    static void ExtractToken(std::string& S, char Sep, std::string& Token);

private:
    void Deliver(const std::string& chunk, const TReceiveProc& callback);
    // Stops and releases the reader, if any. Under lifecycleMutex_.
    void ReleaseReader();

    std::atomic<bool> active_{false};
    std::atomic<uint32_t> sendCount_{0};

    // Open and Close run one at a time.
    std::mutex lifecycleMutex_;
    // Guards the reader against release while Send or SetRTS use it.
    std::mutex readerMutex_;
    std::unique_ptr<TCommThread> reader_;

    // Held by the reader from taking a chunk off the device to the end of its delivery, and
    // by Send while it empties the buffer. Recursive: a ReceiveCallBack may Send.
    std::recursive_mutex deliveryMutex_;
    mutable std::mutex bufferMutex_;  // BufferRX and the terminator
    std::string bufferRX_;
    std::string terminatorBytes_{"\r\n"};
};

}  // namespace baslink
