#include "SimulatorProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace baslink::sim::test {

SimulatorProcess::SimulatorProcess(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), QDKM_SIM_PATH);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    output_ = fdopen(out[0], "r");
    if (failed != 0) {
        pid_ = -1;
        fclose(output_);
        throw std::runtime_error("cannot start qdkm-sim");
    }
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    fclose(output_);
}

std::string SimulatorProcess::readLine() {
    char line[512] = {};
    return fgets(line, sizeof line, output_) ? std::string(line) : std::string();
}

int SimulatorProcess::stop(int signal) {
    kill(pid_, signal);
    return waitFor();
}

int SimulatorProcess::waitFor() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace baslink::sim::test
