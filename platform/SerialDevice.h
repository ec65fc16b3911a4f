#pragma once
// One open serial device, in the shape the serial reader needs it: line settings,
// modem lines, one wait for "something happened" that a close request can end, and
// reads and writes that complete before they return.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "LineSettings.h"

namespace baslink::platform {

// Event bits of a wait.
inline constexpr uint32_t EV_RXCHAR = 0x0001;  // bytes arrived
inline constexpr uint32_t EV_CTS = 0x0008;
inline constexpr uint32_t EV_DSR = 0x0010;
inline constexpr uint32_t EV_RLSD = 0x0020;  // carrier detect
inline constexpr uint32_t EV_ERR = 0x0080;   // framing, overrun or parity error, or break
inline constexpr uint32_t EV_RING = 0x0100;

// Modem status bits: set while the line is on.
inline constexpr uint32_t MS_CTS_ON = 0x10;
inline constexpr uint32_t MS_DSR_ON = 0x20;
inline constexpr uint32_t MS_RING_ON = 0x40;
inline constexpr uint32_t MS_RLSD_ON = 0x80;

struct WaitResult {
    bool closeRequested = false;
    uint32_t events = 0;      // EV_* bits within the mask asked for
    bool deviceGone = false;  // the device went away: unplugged, or its other end hung up
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Sets speed and framing as ApplyLineSettings makes them. False, with the system's
    // reason in `error`, when the line cannot take them or the device refuses them.
    [[nodiscard]] virtual bool SetLineParams(uint32_t baud, uint8_t dataBits, uint8_t parity,
                                             uint8_t stopBits, std::string& error) = 0;
    // Drops whatever waits in both directions.
    virtual void Purge() = 0;
    // Modem lines; nothing where the device has none (a pseudo-terminal).
    virtual void SetDtr(bool on) = 0;
    virtual void SetRts(bool on) = 0;
    // MS_* bits as the device last saw the lines: the state that the line events of the
    // next WaitEvent are changes from. 0 where the device has no modem lines.
    virtual uint32_t ModemStatus() = 0;

    // Waits until an event of the mask happens, a close is requested or the device is gone.
    // Sleeps while nothing happens. Bytes that came before the device went away are
    // reported first; once it is gone, every later wait says so at once.
    virtual WaitResult WaitEvent(uint32_t mask) = 0;
    // Ends the current and every later wait, read and write. Any thread may call it.
    virtual void RequestClose() = 0;

    // Bytes waiting in the input queue.
    virtual uint32_t BytesQueued() = 0;
    // Returns once count bytes are in buffer, or fewer when the device failed, hung up
    // or a close was requested; the result is the number read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Returns once all bytes are handed to the device, or fewer on failure or a close
    // request; the result is the number written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
};

// The modem lines between two looks at them: which lines changed, and the state they
// changed from, so that a change is always reported against the state before it.
class ModemLineWatch {
public:
    explicit ModemLineWatch(uint32_t status) : status_(status) {}
    // MS_* bits of the last sample.
    uint32_t Status() const { return status_; }
    // EV_* bits of the lines whose MS_* bits differ in `now` from the last sample, which
    // `now` then replaces.
    uint32_t Sample(uint32_t now);

private:
    uint32_t status_;
};

struct OpenedDevice {
    std::unique_ptr<SerialDevice> device;  // empty when the open failed
    std::string error;                     // the system's reason for the failure
};

// Whether a device just opened may be used, told from what its descriptor is (its fstat):
// whatever links were followed or re-pointed on the way, that is the device the port holds.
// It is asked before anything of the device changes (its lock, its modes, line settings and
// modem lines) and before anything is written to it; a device refused is closed untouched.
using DeviceAdmission = std::function<bool(const struct stat& opened)>;

// Opens the device a port name resolves to (PortNames.h), exclusively: a second open of the
// same device through this call fails while the first holds it, and nothing of that hold
// outlives the holder, however it ends. A device other than a pseudo-terminal is also kept
// from every other opener for as long as it is open. Without `admit`, every terminal is
// admitted.
OpenedDevice OpenSerialDevice(const std::string& portName, const DeviceAdmission& admit = {});

}  // namespace baslink::platform
