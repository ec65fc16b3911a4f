#pragma once
// A serial line for tests: the simulator's pseudo-terminal, whose master side the
// test drives by hand and whose device side a test links as a port name
// (TemporaryConfigHome::Link).

#include <termios.h>

#include <string>

#include "PseudoTerminal.h"
#include "TemporaryConfigHome.h"

namespace baslink::testing {

class TestLine {
public:
    const std::string& SlavePath() const { return pty_.slavePath(); }

    // Bytes as the other end of the line sends them.
    void Send(const std::string& bytes);
    // What the device side wrote: waits until `count` bytes came or a few seconds passed.
    std::string Receive(std::size_t count);
    // Bytes written to the device side and not yet taken by its reader.
    int PendingAtDevice() const;
    // The device side's line settings.
    termios Settings() const;
    // The other end goes away.
    void HangUp() { pty_.hangUp(); }

private:
    sim::PseudoTerminal pty_;
};

}  // namespace baslink::testing
