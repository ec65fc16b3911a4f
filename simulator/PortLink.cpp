#include "PortLink.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace baslink::sim {

fs::path PortsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return fs::path(config) / "baslink" / "ports";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set");
    }
    return fs::path(home) / ".config" / "baslink" / "ports";
}

PortLink::PortLink(const std::string& portName, const std::string& target) : target_(target) {
    if (portName.empty() || portName == "." || portName == ".." ||
        portName.find('/') != std::string::npos) {
        throw std::runtime_error("bad port name \"" + portName + "\"");
    }
    const fs::path folder = PortsFolder();
    path_ = folder / portName;
    try {
        fs::create_directories(folder);
        const fs::file_status existing = fs::symlink_status(path_);
        if (fs::is_symlink(existing)) {
            fs::remove(path_);
        } else if (fs::exists(existing)) {
            throw std::runtime_error(path_.string() + " exists and is not a link");
        }
        fs::create_symlink(target_, path_);
    } catch (const fs::filesystem_error& error) {
        throw std::runtime_error(error.what());
    }
}

// Only our own link goes: another simulator may have taken the name since.
PortLink::~PortLink() {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path_, error)) &&
        fs::read_symlink(path_, error) == target_) {
        fs::remove(path_, error);
    }
}

}  // namespace baslink::sim
