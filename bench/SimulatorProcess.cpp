#include "SimulatorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

#include "PortNames.h"

namespace baslink::bench {

SimulatorProcess::SimulatorProcess(const std::string& program, const std::string& portName,
                                   const std::vector<std::string>& options) {
    std::vector<std::string> arguments{program, "--port", portName};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const std::filesystem::path link = std::filesystem::path(platform::PortLinkFolder()) / portName;
    std::filesystem::remove(link);
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("cannot start " + program);
    }
    if (pid_ == 0) {
        // Its start and stop lines would mix with the benchmark's table.
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!std::filesystem::is_symlink(link)) {
        if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
            throw std::runtime_error("qdkm-sim did not come up on " + portName);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Resolved to the end: the link may lead through /proc/<pid>/fd/<n> to the terminal.
    devicePath_ = std::filesystem::canonical(link).string();
}

SimulatorProcess::~SimulatorProcess() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

}  // namespace baslink::bench
