#pragma once
// What can be told of a terminal, and of the link a port reaches it through, without
// opening it. A pseudo-terminal is shared with the whole machine: once its other side hangs
// up, its number goes to the next pseudo-terminal made, whoever makes it, and a link left
// behind then leads into somebody else's terminal.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace baslink::platform {

// The number of the character device `path` leads to; none when it leads to anything else,
// or to nothing.
std::optional<dev_t> CharacterDeviceNumber(const std::string& path);

// Whether the device numbered `device` is the terminal side of a pseudo-terminal.
bool IsPseudoTerminal(dev_t device);

// One writing of the link that names the device a path leads to (the last of the links it
// leads through: an entry of the ports folder may lead to another link, which names the
// device): what it says and when it was written. Renaming the link, giving it another owner
// or copying it with its times keeps the writing; a link written anew, or touched, is
// another writing, even when it says the same.
struct LinkWriting {
    std::string target;
    int64_t writtenSeconds = 0;
    long writtenNanoseconds = 0;
    bool operator==(const LinkWriting&) const = default;
};

// The writing of the link that names the device `path` leads to; none when `path` leads
// through no link, or there is nothing at `path`.
std::optional<LinkWriting> ReadLinkWriting(const std::string& path);

// How much earlier than the terminal it leads to a link may look and still be the terminal's
// own: a link is written after its terminal, but the times of a folder on a filesystem that
// keeps whole seconds, or on a share whose clock runs behind, may put it a little before.
inline constexpr int64_t kLinkTimeSlackMs = 2500;

// Whether the link that names the device `path` leads to was written kLinkTimeSlackMs or more
// before that device was made: it was written for an earlier terminal of that number, which
// has gone. Traffic through a terminal leaves its making to be seen, but a change of its mode
// or owner hides it: a link to such a terminal is not judged by its age (false).
bool WrittenBeforeItsTerminal(const std::string& path);

// Whether the terminal numbered `device` is the controlling terminal of some process the
// caller can see: a person's shell, a login. Looked at through /proc, without opening it.
bool IsSessionTerminal(dev_t device);

}  // namespace baslink::platform
