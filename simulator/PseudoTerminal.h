#pragma once
// A pseudo-terminal in raw mode. The slave side stays open here too, so the
// master never sees a hang-up while no client has the port open, and a client
// may close and reopen it at will.

#include <string>

namespace baslink::sim {

class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::system_error
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master() const { return master_; }  // non-blocking; -1 once hung up
    const std::string& slavePath() const { return slavePath_; }
    int slave() const { return slave_; }  // the side a serial port's user opens
    // A name of the slave side that lasts exactly as long as this object holds it: the
    // process's own entry for its descriptor, /proc/<pid>/fd/<n>. Once the process has gone,
    // however it went, the name leads nowhere, whatever terminal takes the number next.
    std::string heldSlavePath() const;
    // Closes the master side: whoever has the slave side open sees the line hang up.
    void hangUp();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace baslink::sim
