#pragma once
// Test doubles for a serial line: a pseudo-terminal whose master side the test holds,
// linked as a port name in a temporary XDG_CONFIG_HOME (TemporaryConfigHome).

#include <termios.h>

#include <chrono>
#include <string>
#include <thread>

#include "TemporaryConfigHome.h"

namespace baslink::testing {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    // Bytes as the other end of the line sends them.
    void Send(const std::string& bytes);
    // What the device side wrote: waits until `count` bytes came or a few seconds passed.
    std::string Receive(std::size_t count);
    // Bytes written to the device side and not yet taken by its reader.
    int PendingAtDevice() const;
    // The device side's line settings.
    termios Settings() const;
    // The other end goes away.
    void HangUp();

private:
    int master_ = -1;
    int slave_ = -1;  // held so the line stays up between opens of the device side
    std::string slavePath_;
};

// Polls `condition` until it holds or a few seconds passed; returns its last value.
template <typename Condition>
bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace baslink::testing
