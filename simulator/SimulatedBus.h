#pragma once
// The simulated bus: the communication board, the regulators and the point
// modules, answering on a pseudo-terminal that is linked as a port name in the
// ports folder, so the driver opens it like any serial port.
//
//     SimulatedBus bus("com1");                  // pty + link + answering thread
//     bus.addRegulator(5).setMemory(0, 0x0102, {1, 2, 3, 4});
//     bus.addPointModule(9, {1, 4, 2, 3}).setInput(5, 1);
//     bus.injectFault({FaultAction::NoAnswer, {.kind = FrameKind::BoardSend, .command = 6}, 4});
//     ... drive the port ...
//     bus.waitForReceived(2, std::chrono::seconds(2));
//     bus.board().eeprom(8, 2); bus.board().resetCount(); bus.frames();
//     bus.stop();                                // or let the destructor do it
//
// Everything here is safe to call from any thread while the bus runs.
//
// How the line is framed: the first byte of a frame tells its family. 0x01 starts a
// board frame (0x01 0x65: send frame with start 0, 9 + n bytes from its length
// field; 0x01 0x64: fetch frame with start 100, 8 bytes). A byte whose low six
// bits are 010101 (0x15, 0x55, 0x95, 0xD5) is the node header H0 of a direct
// frame, whose byte 3 gives the form and size (0xE0: block form, size in byte 4,
// 0x07 read / 0x08 write in byte 5; else bit 7 set: block-0 write of byte3 & 0x7F
// bytes; else block-0 read). Any other
// byte, a frame whose check fails, or a frame head that makes no sense is dropped
// one byte at a time until a frame lines up again. Bytes of an incomplete frame
// that wait longer than kStaleFrameTime for the rest are resynchronised the same
// way. A queued raw answer (queueRawAnswer) takes the next bytes whatever their
// shape.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace baslink::sim {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

struct BusState;
class BusEngine;
class PseudoTerminal;
class PortLink;

// How long the bytes of an incomplete frame wait for the rest before the
// simulator gives up on them and resynchronises.
inline constexpr std::chrono::milliseconds kStaleFrameTime{200};

// The size of the board's own EEPROM and of each regulator's EEPROM.
inline constexpr std::size_t kEepromSize = 65536;

enum class FrameKind {
    BoardSend,    // 0x01 0x65 ..., payload command in byte 7
    BoardFetch,   // 0x01 0x64 ..., collects the reply of the last good send
    DirectRead,   // direct regulator read, either form
    DirectWrite,  // direct regulator write, either form
    Raw,          // bytes taken by a queued raw answer
};

enum class Direction { Received, Sent };

struct LoggedFrame {
    Direction direction;
    FrameKind kind;  // for sent bytes, the kind of the request they answer
    Bytes bytes;
    Clock::time_point time;  // received: when the frame was complete; sent: when it began to go out
    bool checkOk = true;     // received frames only: false when the CRC or sum was wrong
};

// What a fault does to the frames it matches.
enum class FaultAction {
    NoAnswer,       // the frame is lost: not executed, not answered
    BadCheck,       // the answer goes out with its CRC or sum corrupted
    WrongSequence,  // board fetch replies: the sequence echo (r1) is off by one
    StatusZero,     // board fetch replies of commands 1, 3 and 4: status r2 = 0
                    // (these two match fetch frames only, so a send never uses them up)
    SplitAnswer,    // the answer goes out in chunks of chunkSize bytes, delay apart
    DelayAnswer,    // the answer goes out after delay
};

// Which received frames a fault applies to; every field that is set must match.
// A fetch frame matches by the send it collects the reply of (its command,
// address and node).
struct FrameMatch {
    std::optional<FrameKind> kind{};
    std::optional<uint8_t> command{};  // board payload command (1, 3, 4, 5, 6, 7)
    std::optional<uint16_t>
        address{};                   // board EEPROM address (5, 6) or memory offset (1, 4, direct)
    std::optional<uint16_t> node{};  // regulator node (1, 4, direct) or module address (3)
    std::optional<uint8_t> block{};  // memory block (1, 4, direct)
};

inline constexpr int kEveryFrame = -1;

struct Fault {
    FaultAction action;
    FrameMatch match{};
    int frames = 1;  // matching frames it affects, or kEveryFrame
    std::chrono::milliseconds delay{
        0};                     // DelayAnswer: before the answer; SplitAnswer: between chunks
    std::size_t chunkSize = 1;  // SplitAnswer
};

// Pacing at the line's speed (115200 baud, 8N1: 10 bits a byte). When enabled, an
// answer goes out no earlier than the request's own time on the line, plus the
// turnaround, plus the answer's time on the line, counted from the request's first byte.
struct LineTiming {
    bool enabled = false;
    std::chrono::nanoseconds byteTime{86806};
    std::chrono::microseconds turnaround{1000};
};

struct BusOptions {
    LineTiming timing{};
    // The board EEPROM kept in a file: loaded at start when present, saved after
    // every EEPROM write and at stop. Empty: kept in memory only.
    std::filesystem::path eepromFile{};
};

using PairTypes = std::array<uint8_t, 4>;

struct PointModuleState {
    uint8_t address = 0;
    PairTypes pairTypes{};              // the module's own pair types (0..7)
    std::array<uint16_t, 8> inputs{};   // values reported for input points 1..8
    bool statusBit = false;             // bit 0 of every answer
    std::array<uint16_t, 8> outputs{};  // output values of points 1..8 as last received
    bool bitA = false;                  // control bits of the last request
    bool bitB = false;
    PairTypes requestedPairTypes{};  // pair types the last request carried
    unsigned answered = 0;           // requests answered
    unsigned refused = 0;            // requests refused (count byte or layout wrong)
};

class BoardHandle {
public:
    Bytes eeprom(uint16_t address, std::size_t size) const;
    void setEeprom(uint16_t address, const Bytes& bytes);
    unsigned resetCount() const;

private:
    friend class SimulatedBus;
    explicit BoardHandle(std::shared_ptr<BusState> state) : state_(std::move(state)) {}
    std::shared_ptr<BusState> state_;
};

// Memory is addressed by block (0 = plain addressing) and 16-bit offset, and reads
// as 0 where nothing was written. Block 7 holds the EEPROM mailbox: a write that
// covers offset 116 serves the request at 116..119 at once (1 read: EEPROM bytes to
// offset 120 on; 2 write: bytes from offset 120 on to the EEPROM) and then sets
// offset 116 to 0.
class RegulatorHandle {
public:
    uint16_t node() const { return node_; }
    Bytes memory(uint8_t block, uint16_t offset, std::size_t size) const;
    void setMemory(uint8_t block, uint16_t offset, const Bytes& bytes);
    Bytes eeprom(uint16_t address, std::size_t size) const;
    void setEeprom(uint16_t address, const Bytes& bytes);

private:
    friend class SimulatedBus;
    RegulatorHandle(std::shared_ptr<BusState> state, uint16_t node)
        : state_(std::move(state)), node_(node) {}
    std::shared_ptr<BusState> state_;
    uint16_t node_;
};

class PointModuleHandle {
public:
    uint8_t address() const { return address_; }
    PointModuleState state() const;
    void setInput(int point, uint16_t value);  // point 1..8
    void setStatusBit(bool on);

private:
    friend class SimulatedBus;
    PointModuleHandle(std::shared_ptr<BusState> state, uint8_t address)
        : state_(std::move(state)), address_(address) {}
    std::shared_ptr<BusState> state_;
    uint8_t address_;
};

class SimulatedBus {
public:
    // Opens a pseudo-terminal, links it as `portName` (e.g. "com1") in
    // $XDG_CONFIG_HOME/baslink/ports (default ~/.config/baslink/ports) and starts
    // answering. Throws std::runtime_error when the pty or the link cannot be made.
    explicit SimulatedBus(const std::string& portName, BusOptions options = {});
    ~SimulatedBus();
    SimulatedBus(const SimulatedBus&) = delete;
    SimulatedBus& operator=(const SimulatedBus&) = delete;

    // Stops answering, saves the EEPROM file, removes the link and closes the pty.
    // Safe to call more than once; the state stays readable afterwards.
    void stop();

    std::filesystem::path linkPath() const;
    // The pseudo-terminal's own name (/dev/pts/N); the link leads there through a name that
    // lasts only while the bus runs.
    std::string devicePath() const;

    BoardHandle board() const;

    // Adding an existing node or address replaces it with a fresh device.
    RegulatorHandle addRegulator(uint16_t node);
    RegulatorHandle regulator(uint16_t node) const;  // throws std::out_of_range if absent
    void removeRegulator(uint16_t node);

    PointModuleHandle addPointModule(uint8_t address, PairTypes pairTypes);
    PointModuleHandle pointModule(uint8_t address) const;  // throws std::out_of_range if absent

    void injectFault(const Fault& fault);
    void clearFaults();

    // The next requestLength bytes received, whatever their shape, are logged as
    // one Raw frame and answered with `answer` (empty: no answer). With
    // requestLength 0 the answer is sent at once. Queued answers are used in order.
    void queueRawAnswer(std::size_t requestLength, Bytes answer);

    void setLineTiming(const LineTiming& timing);

    std::vector<LoggedFrame> frames() const;
    std::vector<LoggedFrame> receivedFrames() const;
    std::size_t receivedCount() const;
    void clearFrames();
    // Waits until at least `count` frames have been received (good or not) since
    // the start or the last clearFrames(); false on timeout.
    bool waitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    std::shared_ptr<BusState> state_;
    // Guards engine_ between stop() and the calls that wake the answering thread;
    // never held while waiting for state_->mutex.
    mutable std::mutex engineMutex_;
    std::filesystem::path linkPath_;
    std::string devicePath_;
    std::unique_ptr<PseudoTerminal> pty_;
    std::unique_ptr<PortLink> link_;
    std::unique_ptr<BusEngine> engine_;
};

}  // namespace baslink::sim
