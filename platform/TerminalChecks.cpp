#include "TerminalChecks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

namespace baslink::platform {
namespace {

// Device majors of the terminal side of pseudo-terminals: the /dev/pts ones, and the
// older /dev/ttyp* kind.
constexpr unsigned kFirstPtsMajor = 136;
constexpr unsigned kLastPtsMajor = 143;
constexpr unsigned kOldPtyTerminalMajor = 3;

// As many links as the system follows on one path.
constexpr int kMaxLinksFollowed = 40;

// Devices that stand for another terminal.
constexpr unsigned kTtyMajor = 5;  // /dev/tty 5:0, /dev/console 5:1, /dev/ptmx 5:2
constexpr unsigned kLastTtyStandInMinor = 2;
constexpr unsigned kVirtualConsoleMajor = 4;  // /dev/tty0 4:0, the console in front

// The controlling terminal a line of /proc/<pid>/stat gives, as a device number; none for a
// process without one, or a line that cannot be read.
std::optional<dev_t> ControllingTerminal(const char* statLine) {
    // The command name in parentheses may hold anything, ')' and blanks too: the fields
    // after it start at its last ')'.
    const char* end = std::strrchr(statLine, ')');
    char state = 0;
    int parent = 0, group = 0, session = 0;
    unsigned terminal = 0;
    if (end == nullptr ||
        std::sscanf(end + 1, " %c %d %d %d %u", &state, &parent, &group, &session, &terminal) !=
            5 ||
        terminal == 0) {
        return std::nullopt;
    }
    // The kernel's own packing: minor in bits 0-7 and 20-31, major in bits 8-19.
    const unsigned deviceMajor = (terminal >> 8) & 0xfff;
    const unsigned deviceMinor = (terminal & 0xff) | ((terminal >> 12) & 0xfff00);
    return makedev(deviceMajor, deviceMinor);
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

}  // namespace

bool IsPseudoTerminal(dev_t device) {
    const unsigned deviceMajor = major(device);
    return (deviceMajor >= kFirstPtsMajor && deviceMajor <= kLastPtsMajor) ||
           deviceMajor == kOldPtyTerminalMajor;
}

bool StandsForAnotherTerminal(dev_t device) {
    return (major(device) == kTtyMajor && minor(device) <= kLastTtyStandInMinor) ||
           (major(device) == kVirtualConsoleMajor && minor(device) == 0);
}

LinkChain ReadLinkChain(const std::string& path) {
    LinkChain chain;
    std::filesystem::path link = path;
    for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
        struct stat written {};
        std::error_code error;
        if (lstat(link.c_str(), &written) != 0 || !S_ISLNK(written.st_mode)) {
            break;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(link, error);
        if (error) {
            break;
        }
        chain.push_back({target.string(), written.st_mtim.tv_sec, written.st_mtim.tv_nsec});
        link = link.parent_path() / target;  // as it is when the target is absolute
    }
    return chain;
}

bool IsSessionTerminal(dev_t device) {
    const std::unique_ptr<DIR, DirectoryCloser> processes(opendir("/proc"));
    if (!processes) {
        return false;
    }
    while (const dirent* entry = readdir(processes.get())) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) {
            continue;
        }
        const std::string statPath = std::string(entry->d_name) + "/stat";
        const int fd = openat(dirfd(processes.get()), statPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;  // gone meanwhile, or hidden from us
        }
        // The fields up to the terminal fit well within this, whatever the command's name.
        char line[512];
        const ssize_t length = read(fd, line, sizeof line - 1);
        close(fd);
        if (length <= 0) {
            continue;
        }
        line[length] = '\0';
        if (ControllingTerminal(line) == device) {
            return true;
        }
    }
    return false;
}

}  // namespace baslink::platform
