#pragma once
// What a device a port opened is, told from its number, and what the links a port reaches it
// through say. A pseudo-terminal is shared with the whole machine: once its other side hangs
// up, its number goes to the next one made, whoever makes it, and a link left behind then
// leads into somebody else's terminal.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace baslink::platform {

// Whether the device numbered `device` is the terminal side of a pseudo-terminal.
bool IsPseudoTerminal(dev_t device);

// Whether the device numbered `device` stands for some other terminal, found when it is
// opened: /dev/tty (the opener's own terminal), /dev/console and /dev/tty0 (the console),
// /dev/ptmx (the other side of a new pseudo-terminal). None of them is ever a bus.
bool StandsForAnotherTerminal(dev_t device);

// What one link says and when it was written. Renaming the link, giving it another owner or
// copying it with its times keeps its writing; a link written anew, or touched, is another
// writing, even when it says the same.
struct LinkWriting {
    std::string target;
    int64_t writtenSeconds = 0;
    long writtenNanoseconds = 0;
    bool operator==(const LinkWriting&) const = default;
};

// The writings of the links `path` leads through on its way to what it names, in order:
// an entry of the ports folder may lead to another link, which a device's tool remakes.
// Empty when `path` is no link, or there is nothing at it.
using LinkChain = std::vector<LinkWriting>;
LinkChain ReadLinkChain(const std::string& path);

// Whether the terminal numbered `device` is the controlling terminal of some process the
// caller can see: a person's shell, a login, a console's getty. Reads the status of every
// process in /proc, so it costs in proportion to how many there are.
bool IsSessionTerminal(dev_t device);

}  // namespace baslink::platform
