#include "TemporaryConfigHome.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace baslink::testing {

TemporaryConfigHome::TemporaryConfigHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "baslink-config-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
    if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
        previous_ = previous;
        hadPrevious_ = true;
    }
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
}

TemporaryConfigHome::~TemporaryConfigHome() {
    if (hadPrevious_) {
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TemporaryConfigHome::Link(const std::string& name, const std::filesystem::path& target) const {
    const std::filesystem::path folder = PortsFolder();
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder / name);
    std::filesystem::create_symlink(target, folder / name);
}

bool TemporaryConfigHome::WaitUntilNewerThan(const std::filesystem::path& made) const {
    // Entries are stamped from the coarse real-time clock (or later): once it has passed the
    // stamp of `made`, anything made is newer.
    struct stat status {};
    if (lstat(made.c_str(), &status) != 0) {
        return false;
    }
    const auto stamp = std::pair(status.st_ctim.tv_sec, status.st_ctim.tv_nsec);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        timespec now {};
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (stamp < std::pair(now.tv_sec, now.tv_nsec)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace baslink::testing
