#include "MachineFacts.h"

#include <sched.h>

#include <cctype>
#include <filesystem>

namespace baslink::bench {

int AllowedProcessors() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    sched_getaffinity(0, sizeof allowed, &allowed);
    return CPU_COUNT(&allowed);
}

int ProcessesOnMachine() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        if (std::isdigit(static_cast<unsigned char>(entry.path().filename().string()[0]))) {
            ++count;
        }
    }
    return count;
}

}  // namespace baslink::bench
