#pragma once
// Which terminals a port may use: only the device it was given, judged from what it opened.
// A terminal that is some session's (a person's shell, a login, a console), or a device that
// stands for another terminal, is never a bus, whatever leads to it. And a pseudo-terminal is
// shared with the whole machine: once its other side hangs up, its number goes to the next
// one made, whoever makes it, so the link of one that hung up under the port is not followed
// again until it is written anew.

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

#include "TerminalChecks.h"

namespace baslink {

class TerminalAdmission {
public:
    // Whether the port may open its device now through `link`, the entry of the ports folder
    // it keeps to (none while its name leads through no link), looked at without opening
    // it. Refused: the very links whose pseudo-terminal hung up under this port, until one
    // of them is written anew.
    bool MayFollow(const std::optional<std::string>& link);
    // Whether the port may use the device it opened, as its descriptor tells it: never one
    // that stands for another terminal, nor a session's controlling terminal.
    bool MayUse(const struct stat& opened);
    // The device last let through has opened.
    void Opened();
    // The device open has gone away. A pseudo-terminal's links are then not followed again.
    void Lost();

private:
    bool IsSessionTerminal(const struct stat& opened);

    // The links of the device let through last, taken before its open so that a terminal
    // that hangs up at once is still known by them, kept once the device is found to be a
    // pseudo-terminal; those of the one open; those of the one that hung up.
    std::optional<platform::LinkChain> followedLinks_;
    std::optional<platform::LinkChain> openLinks_;
    std::optional<platform::LinkChain> hungUpLinks_;

    // Whether the terminal judged last was a session's, and when that was found. Finding it
    // out reads every process's status, so a port that keeps trying one terminal (held by
    // another program, or a session's) keeps the verdict a while.
    struct Verdict {
        struct stat terminal;
        bool session;
        uint32_t tick;
    };
    std::optional<Verdict> verdict_;
};

}  // namespace baslink
