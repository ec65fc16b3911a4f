#pragma once
// Which terminals a port may open: only the device it was given. A pseudo-terminal is shared
// with the whole machine: once its other side hangs up, its number goes to the next one made,
// whoever makes it, so a link left behind by a simulator that was killed leads into somebody
// else's terminal. And a terminal that is some session's (a person's shell, a login) is never
// a bus, whatever leads to it.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

#include "TerminalChecks.h"

namespace baslink {

class TerminalAdmission {
public:
    // Whether the port may open `device` now, looking at it without opening it. Refused: a
    // session's controlling terminal; and, where `throughLink`, a pseudo-terminal whose link
    // is the very writing whose terminal hung up under this port (until a link is written
    // anew), or was written well before the terminal (WrittenBeforeItsTerminal).
    bool MayOpen(const std::string& device, bool throughLink);
    // The device last let through MayOpen has opened.
    void Opened();
    // The device open has gone away. A pseudo-terminal's link is then not followed again.
    void Lost();

private:
    bool SessionTerminal(dev_t device);

    // The writing of the link of the pseudo-terminal let through last, taken before its open
    // so that a terminal that hangs up at once is still known by it; that of the one open;
    // that of the one that hung up.
    std::optional<platform::LinkWriting> admittedLink_;
    std::optional<platform::LinkWriting> openLink_;
    std::optional<platform::LinkWriting> hungUpLink_;

    // The terminal last found to be a session's, and when. Finding that out reads every
    // process's status, so a port that keeps trying the same terminal looks again only after
    // a while; a terminal that is no longer a session's is then opened.
    struct SessionSighting {
        dev_t device;
        uint32_t tick;
    };
    std::optional<SessionSighting> sessionTerminal_;
};

}  // namespace baslink
