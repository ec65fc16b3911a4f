#pragma once
// The port name in the ports folder ($XDG_CONFIG_HOME/baslink/ports, default
// ~/.config/baslink/ports): a symbolic link to the device, removed again when
// this object goes.

#include <filesystem>
#include <string>

namespace baslink::sim {

std::filesystem::path PortsFolder();  // throws std::runtime_error without a home

class PortLink {
public:
    // Replaces a stale link of the same name; throws std::runtime_error when the
    // name is not a plain file name or something other than a link is in the way.
    PortLink(const std::string& portName, const std::string& target);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::string target_;
};

}  // namespace baslink::sim
