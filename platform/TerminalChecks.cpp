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

int64_t Milliseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

// When a terminal was made, where its times still tell. It is made with its three times
// equal, to the nanosecond. Traffic through it moves its access and modification times by
// whole seconds (keeping their nanoseconds, or setting them to 0, by the kernel's age), and a
// change of its mode or owner moves its change time. So the change time is the making while
// its nanoseconds are still those of one of the other two; once it has moved, the making is
// lost.
std::optional<int64_t> MadeAt(const struct stat& terminal) {
    const long changed = terminal.st_ctim.tv_nsec;
    if (changed != 0 &&
        (changed == terminal.st_atim.tv_nsec || changed == terminal.st_mtim.tv_nsec)) {
        return Milliseconds(terminal.st_ctim);
    }
    return std::nullopt;
}

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

std::optional<dev_t> CharacterDeviceNumber(const std::string& path) {
    struct stat device {};
    if (stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) {
        return std::nullopt;
    }
    return device.st_rdev;
}

std::optional<LinkWriting> ReadLinkWriting(const std::string& path) {
    const std::string link = LinkNamingTheDevice(path);
    struct stat written {};
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(link, error);
    if (error || lstat(link.c_str(), &written) != 0) {
        return std::nullopt;
    }
    return LinkWriting{target.string(), written.st_mtim.tv_sec, written.st_mtim.tv_nsec};
}

bool WrittenBeforeItsTerminal(const std::string& path) {
    struct stat link {};
    struct stat terminal {};
    if (lstat(LinkNamingTheDevice(path).c_str(), &link) != 0 || !S_ISLNK(link.st_mode) ||
        stat(path.c_str(), &terminal) != 0) {
        return false;
    }
    const auto made = MadeAt(terminal);
    return made && Milliseconds(link.st_mtim) <= *made - kLinkTimeSlackMs;
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
