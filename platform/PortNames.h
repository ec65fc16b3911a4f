#pragma once
// Where a port name such as "com3" leads: the only configuration the library reads,
// standing in for the system's own table of serial devices.

#include <optional>
#include <string>

namespace baslink::platform {

// The folder of port links: $XDG_CONFIG_HOME/baslink/ports, or ~/.config/baslink/ports.
std::string PortLinkFolder();

// Resolves a port name to a device path:
//   an absolute path is used as it is;
//   an entry of PortLinkFolder() whose name matches without regard to case;
//   otherwise /dev/ttyS<N-1> for comN (any case).
// Any other name has no device.
std::optional<std::string> ResolvePortName(const std::string& name);

}  // namespace baslink::platform
