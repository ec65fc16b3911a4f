#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "Timing.h"

extern char** environ;

namespace baslink::testing {
namespace {

// This process's environment with `overrides` set over it.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& overrides) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string inherited(*entry);
        const std::string name = inherited.substr(0, inherited.find('=') + 1);
        bool overridden = false;
        for (const std::string& set : overrides) {
            overridden = overridden || set.compare(0, name.size(), name) == 0;
        }
        if (!overridden) {
            entries.push_back(inherited);
        }
    }
    entries.insert(entries.end(), overrides.begin(), overrides.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment, bool quiet) {
    std::vector<std::string> argumentTexts = {program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts = EnvironmentWith(environment);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    const int failed =
        posix_spawnp(&pid_, program.c_str(), &actions, nullptr, Pointers(argumentTexts).data(),
                     Pointers(environmentTexts).data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    output_ = out[0];
    if (failed != 0) {
        pid_ = -1;
        close(output_);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(failed));
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    close(output_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds limit) {
    const auto deadline = SteadyClock::now() + limit;
    for (;;) {
        if (const auto end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        pollfd readable = {output_, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char bytes[256];
        const ssize_t count = read(output_, bytes, sizeof bytes);
        if (count <= 0) {
            return std::nullopt;
        }
        pending_.append(bytes, static_cast<std::size_t>(count));
    }
}

std::optional<int> ChildProcess::WaitFor(std::chrono::milliseconds limit) {
    int status = 0;
    if (pid_ <= 0 || !Eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit)) {
        return std::nullopt;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::Stop(std::chrono::milliseconds limit) {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        WaitFor(limit);
    }
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0) {
        kill(pid_, signal);
    }
}

}  // namespace baslink::testing
