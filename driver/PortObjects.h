#pragma once
// The port objects: one TQDK per serial port number 1..20, through which every
// exchange with the bus passes. A port's serial component belongs to its TQDK alone:
// the rest of the driver reaches the line through AbrirPuerto and the one exchange step.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>

#include "ObjList.h"
#include "RegulatorAccess.h"
#include "ReplyWait.h"
#include "TerminalAdmission.h"
#include "ThreadComPort.h"

namespace baslink {

class TQDK;

// A receive check: judges the bytes the port has collected since its last send and
// sets the component's Estado. It runs on the port's reader thread, under the lock that
// orders it with the setting up of each exchange, so it must not wait for anything.
using ReceiveCheck = void (*)(TQDK& qdk, TThreadComPort& sender, const std::string& data);

// How the wait of an exchange ends.
enum class ReplyEnd : uint8_t {
    GoodCheck,  // a reply whose check is good; a bad one may still be followed by a good one
    AnyCheck,   // a reply whose check is good (success) or bad (failure)
    ByteCount,  // exactly expectedLength bytes collected (the count taken modulo 256),
                // whatever they are: the receive check's verdict is not looked at. A
                // stopping library ends the wait as a failure.
};

// The component sends at most this many bytes at a time.
inline constexpr std::size_t kMaxFrameLength = 255;

// One request on a port and the rule for its reply.
struct ExchangeRequest {
    uint8_t state = kStateFrameSent;  // Estado while the reply is awaited
    uint8_t expectedLength = 0;       // minTamanioRX: the collected length that is judged
    // At most kMaxFrameLength bytes. None: nothing is sent, and the bytes collected since
    // the port's last send count toward the reply.
    std::span<const uint8_t> frame{};
    ReplyEnd end = ReplyEnd::GoodCheck;
    uint32_t timeoutMs = kReplyTimeMs;
};

struct ExchangeReply {
    bool ok = false;    // the wait ended by the request's rule within its time
    std::string bytes;  // what the port had collected since the send when the wait ended
};

class TQDK {
public:
    explicit TQDK(uint8_t number);
    // Closes the serial component (its reader thread ends) and releases it.
    ~TQDK();
    TQDK(const TQDK&) = delete;
    TQDK& operator=(const TQDK&) = delete;

    // Makes sure the port's serial component exists, is set up (115200 8N1, count mode,
    // RTS raised, `check` as its receive check) and is open, and marks the port as in use.
    // The port's first use pauses 500 ms once its device has opened, pumping window
    // messages before and after. When the device cannot be opened the component is
    // released and the call fails at once; the next call tries the device again. The
    // message saying so is shown once, at the first failure of a host call since the port
    // last opened (never while SilentPortOpens lives on the calling thread). A port uses
    // only its own device (TerminalAdmission), judged from what it opened: never a session's
    // terminal or a device that stands for another terminal, nor a pseudo-terminal through
    // the links of one that hung up. Those fail as a missing device does. The caller holds
    // SeccionCritica.
    bool AbrirPuerto(ReceiveCheck check);

    // The one exchange step of every link: sets minTamanioRX and Estado, sends the frame
    // and waits for the reply by the request's rule, pumping the calling thread's window
    // messages. Fails at once, sending nothing, while the library stops, while the port
    // has no open component (never opened, or its device could not be opened), or once
    // the port's device has gone (the component is released, so that the next AbrirPuerto
    // opens the device again). The caller holds SeccionCritica.
    ExchangeReply Exchange(const ExchangeRequest& request);

    // Frame sequence of this port, 1..200 once advanced; its low byte goes on the wire.
    int32_t Secuencia = 0;
    const std::string NombrePuerto;  // "com" + the port number
    // 1 from the port's first AbrirPuerto on, whether or not its device opened: the port
    // is in use, and the worker keeps its cache blocks and queued writes going, opening
    // it again when its device has gone.
    std::atomic<uint8_t> PuertoCreado{0};
    // Board link failures since the last good one, at most 100.
    std::atomic<uint8_t> FallosQdk{0};
    // Failed regulator memory reads since the last good one, at most 10, in either link
    // mode. Under SeccionCritica.
    uint8_t FallosLectura = 0;
    // Link mode: 0 through the communication board, any other value direct bus frames.
    // Stored by the exports before their exchange; under SeccionCritica.
    uint8_t ModoDirecto = 0;

    // The read cache of this port (ReadCache.h), under SeccionCritica: the application's
    // read requests in key order, the blocks merged from them, the 1-based position of the
    // block the worker reads next, and the name last given with a request (kept, not used).
    TOrderedList Peticiones{TAccesoRegulador::StaticClass(), CompararAccesos};
    TUnorderedList Lecturas{TAccesoRegulador::StaticClass()};
    int32_t IndiceLectura = 0;
    std::string Descripcion;

private:
    // Says, where it may, that the port cannot be opened; false.
    bool OpenFailed();
    // Runs `check` on bytes that belong to the exchange in progress and wakes its wait.
    void OnDelivery(ReceiveCheck check, TThreadComPort& sender, const std::string& data);
    // True, with the component released, when the port's device has gone away. A
    // pseudo-terminal's link is then remembered as hung up.
    bool ReleaseIfDeviceLost();
    void ReleaseComponent();
    // What the component is told to open. The port's name, until the name is found to lead
    // through a link of the ports folder; from then on that link, so that while the link is
    // missing the port fails rather than fall back to the machine's own serial device, and
    // opens the link's device once it is back, under this name or another case of it.
    const std::string& DevicePort();

    std::unique_ptr<TThreadComPort> ComPort;
    // The SendCount of the exchange in progress: deliveries of other sends are not its reply.
    // Under replyNotice_.
    uint32_t awaitedSend_ = 0;
    ReplyNotice replyNotice_;
    // Under SeccionCritica: whether the failure to open was shown in this streak; the link
    // the port was found through (none while its name has led through no link); and what the
    // port remembers of the terminals it opened and refused.
    bool openFailureShown_ = false;
    std::optional<std::string> portLink_;
    TerminalAdmission terminals_;
};

// While one lives on a thread, the port opens of that thread that fail say nothing. The
// worker's steps hold one: the worker shows no messages, and leaves the one message of a
// failure streak to the first call of the host that fails to open the port.
class SilentPortOpens {
public:
    SilentPortOpens();
    ~SilentPortOpens();
    SilentPortOpens(const SilentPortOpens&) = delete;
    SilentPortOpens& operator=(const SilentPortOpens&) = delete;

    static bool Active();
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

}  // namespace baslink
