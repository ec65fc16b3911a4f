#pragma once
// The port objects: one TQDK per serial port number 1..20, through which every
// exchange with the bus passes, and AbrirPuerto, which opens a port at its first use.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "ThreadComPort.h"

namespace baslink {

class TQDK {
public:
    explicit TQDK(uint8_t number);
    // Closes the serial component (its reader thread ends) and releases it.
    ~TQDK();
    TQDK(const TQDK&) = delete;
    TQDK& operator=(const TQDK&) = delete;

    // Wakes a reply wait on this port once the receive check has judged a reply.
    void NotifyReplyJudged();
    // Sleeps until the next NotifyReplyJudged, or for `limit` at most.
    void WaitForReplyNotice(std::chrono::milliseconds limit);

    // Frame sequence of this port, 1..200 once advanced; its low byte goes on the wire.
    int32_t Secuencia = 0;
    const std::string NombrePuerto;  // "com" + the port number
    // 1 while the serial component exists.
    std::atomic<uint8_t> PuertoCreado{0};
    std::unique_ptr<TThreadComPort> ComPort;
    // Board link failures since the last good one, at most 100.
    std::atomic<uint8_t> FallosQdk{0};

private:
    std::mutex noticeMutex_;
    std::condition_variable notice_;
};

// The 20 port objects, indexed by port number.
class PortTable {
public:
    static constexpr uint8_t kPortCount = 20;

    void Create();
    // Destroys the port objects, closing their serial ports. Called under SeccionCritica.
    void Release();

    // The object of port `number`; none for a number outside 1..20 or once released.
    // The caller holds SeccionCritica, so the object cannot be released meanwhile.
    TQDK* Find(uint8_t number);

    // For readers that take no lock: calls `read` with the port object, which cannot be
    // released meanwhile. False, without a call, when there is no such object.
    bool Read(uint8_t number, const std::function<void(const TQDK&)>& read) const;

private:
    mutable std::shared_mutex lifetime_;  // held exclusively while the objects are released
    std::array<std::unique_ptr<TQDK>, kPortCount> ports_;
};

// The driver's port objects; they live from InicializarDriver to ReleaseDriverObjects.
PortTable& Puertos();

// A receive check: judges the bytes the port has collected since its last send and
// sets the component's Estado.
using ReceiveCheck = void (*)(TQDK& qdk, TThreadComPort& sender, const std::string& data);

// Makes sure the port's serial component exists, is set up (115200 8N1, count mode,
// RTS raised, `check` as its receive check) and is open. The first use creates the
// component and pauses 500 ms. When the port cannot be opened it shows why, releases
// the component so that a later call tries again, and returns false.
bool AbrirPuerto(TQDK& qdk, ReceiveCheck check);

}  // namespace baslink
