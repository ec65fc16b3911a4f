#include "TemporaryConfigHome.h"

#include <stdlib.h>

#include <cstdlib>
#include <stdexcept>
#include <system_error>
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

}  // namespace baslink::testing
