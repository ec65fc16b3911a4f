#include "LinkHandling.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

namespace baslink::testing {
namespace {

namespace fs = std::filesystem;

// Someone else where we are root (nobody), ourselves otherwise: either way the owner is set.
constexpr uid_t kNobody = 65534;

fs::path RenamedToAnotherCase(const fs::path& entry) {
    std::string name = entry.filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
        return static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    });
    const fs::path renamed = entry.parent_path() / name;
    fs::rename(entry, renamed);
    return renamed;
}

fs::path GivenAnotherOwner(const fs::path& entry) {
    const bool root = geteuid() == 0;
    if (lchown(entry.c_str(), root ? kNobody : getuid(), root ? kNobody : getgid()) != 0) {
        throw std::runtime_error("cannot change the owner of " + entry.string());
    }
    return entry;
}

fs::path RestoredFromACopy(const fs::path& entry) {
    const fs::path folder = entry.parent_path();
    const fs::path copy = folder.string() + ".copy";
    const std::string restore = "cp -a '" + folder.string() + "' '" + copy.string() +
                                "' && rm -r '" + folder.string() + "' && cp -a '" + copy.string() +
                                "' '" + folder.string() + "' && rm -r '" + copy.string() + "'";
    if (std::system(restore.c_str()) != 0) {
        throw std::runtime_error("cannot copy " + folder.string());
    }
    return entry;
}

}  // namespace

const LinkHandling kOrdinaryLinkHandlings[3] = {
    {"renamed to another case of its name", "Renamed", RenamedToAnotherCase},
    {"given another owner", "GivenAnotherOwner", GivenAnotherOwner},
    {"restored from a copy made with cp -a", "CopiedBack", RestoredFromACopy},
};

void Stamp(const fs::path& path, timespec time) {
    const timespec times[2] = {time, time};
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("cannot set the times of " + path.string());
    }
}

timespec ChangeTimeOf(const fs::path& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        throw std::runtime_error("nothing at " + path.string());
    }
    return status.st_ctim;
}

timespec Shifted(timespec time, long milliseconds) {
    constexpr long kNanoseconds = 1000000000;
    long long nanoseconds = static_cast<long long>(time.tv_sec) * kNanoseconds + time.tv_nsec +
                            static_cast<long long>(milliseconds) * 1000000;
    return {static_cast<time_t>(nanoseconds / kNanoseconds),
            static_cast<long>(nanoseconds % kNanoseconds)};
}

}  // namespace baslink::testing
