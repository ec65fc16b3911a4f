#pragma once
// TCommThread: the open device of one serial port and the thread that waits for its
// events. Received byte counts go to OnReceive, line events to OnStatus, both on the
// reader thread. It also performs the port's reads and writes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "CallbackSlot.h"
#include "SerialDevice.h"

namespace baslink {

class TCommThread {
public:
    using TReceiveHandler = std::function<void(uint32_t Count)>;
    using TStatusHandler = std::function<void(uint32_t EvtMask, uint32_t ModemStatus)>;
    using TLostHandler = std::function<void()>;

    // Opens the port by name and, when `admit` lets it use the device, prepares the line
    // (9600 baud, 8 data bits, even parity, one stop bit, queues purged, DTR and RTS
    // dropped). The thread does not run until Resume.
    explicit TCommThread(std::string PortName, const platform::DeviceAdmission& admit = {});
    // The same over a device opened elsewhere; an empty device counts as a failed open.
    TCommThread(std::string PortName, std::unique_ptr<platform::SerialDevice> device,
                std::string openError = {});
    // Stops the thread if it still runs, then closes the device.
    ~TCommThread();
    TCommThread(const TCommThread&) = delete;
    TCommThread& operator=(const TCommThread&) = delete;

    bool IsOpen() const { return device_ != nullptr; }
    // The system's reason when the device could not be opened.
    const std::string& OpenError() const { return openError_; }
    const std::string& PortName() const { return portName_; }

    // The codes of Parity and StopBits are those of TParity and TStopBit. False, with
    // the reason in `error`, when the line does not take the settings.
    [[nodiscard]] bool SetLineParams(uint32_t Baud, uint8_t DataBits, uint8_t Parity,
                                     uint8_t StopBits, std::string& error);
    // Purges both queues, then drops DTR and RTS.
    void ResetLines();
    void SetRTS(bool Value);

    // Starts the thread; once only.
    void Resume();
    // Unbinds OnReceive and asks the thread to stop. Works before Resume too: the
    // thread then stops at once when it starts.
    void SignalClose();
    // Waits for the thread's end (at once when it never started).
    void WaitFor();

    // Returns once the bytes are in Buffer; fewer only when the port failed or is
    // closing. The result is the number read.
    uint32_t ReadBytes(void* Buffer, uint32_t Count);
    // Returns once the bytes are written, so Buffer may be released at once.
    uint32_t WriteBytes(const void* Buffer, uint32_t Count);

    CallbackSlot<TReceiveHandler> OnReceive;
    CallbackSlot<TStatusHandler> OnStatus;
    // Called once when the device has gone away (unplugged, or its other end hung up);
    // the thread ends right after it.
    CallbackSlot<TLostHandler> OnDeviceLost;

private:
    void Execute();
    void DispatchEvents(uint32_t EvtMask, uint32_t ModemStatus);

    std::string portName_;
    std::unique_ptr<platform::SerialDevice> device_;
    std::string openError_;
    std::thread thread_;
};

}  // namespace baslink
