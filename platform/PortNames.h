#pragma once
// Where a port name such as "com3" leads: the only configuration the library reads,
// standing in for the system's own table of serial devices.

#include <optional>
#include <string>

namespace baslink::platform {

// The folder of port links: $XDG_CONFIG_HOME/baslink/ports, or ~/.config/baslink/ports.
std::string PortLinkFolder();

// The entry of PortLinkFolder() whose name matches `name` without regard to case, as a
// path: a link, whether or not it leads to a device now. None when there is no such entry.
std::optional<std::string> PortLinkPath(const std::string& name);

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
