#pragma once
// Gives a test its own ports folder: XDG_CONFIG_HOME points at a fresh temporary folder
// while the object lives, so the library, the serial layer and the simulated bus meet
// there and nothing of the machine's own configuration or devices is touched. The old
// value comes back and the folder is removed afterwards.

#include <filesystem>
#include <string>

namespace baslink::testing {

class TemporaryConfigHome {
public:
    // Throws std::runtime_error when the folder cannot be made.
    TemporaryConfigHome();
    ~TemporaryConfigHome();
    TemporaryConfigHome(const TemporaryConfigHome&) = delete;
    TemporaryConfigHome& operator=(const TemporaryConfigHome&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Where port names are looked up; made by the first Link, not before.
    std::filesystem::path PortsFolder() const { return path_ / "baslink" / "ports"; }
    // Makes the port `name` (e.g. "com7") lead to `target`, replacing an earlier link.
    void Link(const std::string& name, const std::filesystem::path& target) const;

private:
    std::filesystem::path path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace baslink::testing
