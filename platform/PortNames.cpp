#include "PortNames.h"

#include <strings.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

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

// Device majors of the terminal side of pseudo-terminals: the /dev/pts ones, and the
// older /dev/ttyp* kind.
constexpr unsigned kFirstPtsMajor = 136;
constexpr unsigned kLastPtsMajor = 143;
constexpr unsigned kOldPtyTerminalMajor = 3;

// As many links as the system follows on one path.
constexpr int kMaxLinksFollowed = 40;

// The last of the links `path` leads through, which names what is at the end; `path` itself
// when it is no link.
std::string LinkNamingTheDevice(const std::string& path) {
    std::filesystem::path link = path;
    for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
        std::error_code error;
        std::filesystem::path target = std::filesystem::read_symlink(link, error);
        if (error) {
            break;
        }
        target = link.parent_path() / target;  // as it is when the target is absolute
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
            break;
        }
        link = target;
    }
    return link.string();
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

std::optional<LinkIdentity> IdentifyLink(const std::string& path) {
    struct stat link {};
    if (lstat(LinkNamingTheDevice(path).c_str(), &link) != 0) {
        return std::nullopt;
    }
    return LinkIdentity{link.st_dev, link.st_ino, link.st_ctim.tv_sec, link.st_ctim.tv_nsec};
}

bool LeadsToPseudoTerminal(const std::string& path) {
    struct stat device {};
    if (stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) {
        return false;
    }
    const unsigned deviceMajor = major(device.st_rdev);
    return (deviceMajor >= kFirstPtsMajor && deviceMajor <= kLastPtsMajor) ||
           deviceMajor == kOldPtyTerminalMajor;
}

bool MadeBeforeItsDevice(const std::string& path) {
    struct stat entry {};
    struct stat device {};
    if (lstat(LinkNamingTheDevice(path).c_str(), &entry) != 0 ||
        stat(path.c_str(), &device) != 0) {
        return false;
    }
    const auto made = [](const struct stat& status) {
        return std::pair(status.st_ctim.tv_sec, status.st_ctim.tv_nsec);
    };
    return made(entry) < made(device);
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
