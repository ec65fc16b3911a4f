#include "PortNames.h"

#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace baslink::platform {
namespace {

// N of "comN" (any case, N from 1), or nothing.
std::optional<unsigned long> ComNumber(const std::string& name) {
    if (name.size() < 4 || strncasecmp(name.c_str(), "com", 3) != 0) {
        return std::nullopt;
    }
    unsigned long number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 1000000) {
            return std::nullopt;
        }
        number = number * 10 + static_cast<unsigned long>(name[i] - '0');
    }
    if (number == 0) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

std::string PortLinkFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (configHome != nullptr && configHome[0] == '/') {
        base = configHome;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/baslink/ports";
}

std::optional<std::string> PortLinkPath(const std::string& name) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(PortLinkFolder(), error), end;
         !error && entry != end; entry.increment(error)) {
        // A dangling link still names the port: opening it reports the missing device.
        if (strcasecmp(entry->path().filename().c_str(), name.c_str()) == 0) {
            return entry->path().string();
        }
    }
    return std::nullopt;
}

bool PortDevicePresent(const std::string& name) {
    struct stat device {};
    const auto path = ResolvePortName(name);
    return path && stat(path->c_str(), &device) == 0;
}

std::optional<std::string> ResolvePortName(const std::string& name) {
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    if (name.empty() || name.find('/') != std::string::npos) {
        return std::nullopt;
    }
    if (auto linked = PortLinkPath(name)) {
        return linked;
    }
    if (auto number = ComNumber(name)) {
        return "/dev/ttyS" + std::to_string(*number - 1);
    }
    return std::nullopt;
}

}  // namespace baslink::platform
