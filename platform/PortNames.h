#pragma once
// Where a port name such as "com3" leads: the only configuration the library reads,
// standing in for the system's own table of serial devices.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace baslink::platform {

// The folder of port links: $XDG_CONFIG_HOME/baslink/ports, or ~/.config/baslink/ports.
std::string PortLinkFolder();

// The entry of PortLinkFolder() whose name matches `name` without regard to case, as a
// path: a link, whether or not it leads to a device now. None when there is no such entry.
std::optional<std::string> PortLinkPath(const std::string& name);

// One making of the link that names a device: the last of the links a path leads through
// (an entry of the ports folder may lead to another link, which names the device). A link
// removed and made again is another making, even when it leads to the same device.
struct LinkIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    int64_t changedSeconds = 0;  // when the link itself was made or last changed
    long changedNanoseconds = 0;
    bool operator==(const LinkIdentity&) const = default;
};

// The making of the link that names the device `path` leads to (`path` itself when it is
// no link); none when there is no entry at `path`.
std::optional<LinkIdentity> IdentifyLink(const std::string& path);

// Whether `path` leads to the terminal side of a pseudo-terminal. Such a terminal never comes
// back once its other side has hung up: its number goes to the next pseudo-terminal made on
// the machine, whoever makes it.
bool LeadsToPseudoTerminal(const std::string& path);

// Whether the link that names the device `path` leads to was made before that device. A
// pseudo-terminal's device is made with the terminal, so a link older than the one it leads
// to was made for an earlier terminal of that number, which has gone.
bool MadeBeforeItsDevice(const std::string& path);

// Whether the device a port name resolves to is there, looked at without opening it: a
// missing device costs its caller a look, not a failed open.
bool PortDevicePresent(const std::string& name);

// Resolves a port name to a device path:
//   an absolute path is used as it is;
//   an entry of PortLinkFolder() whose name matches without regard to case;
//   otherwise /dev/ttyS<N-1> for comN (any case).
// Any other name has no device.
std::optional<std::string> ResolvePortName(const std::string& name);

}  // namespace baslink::platform
