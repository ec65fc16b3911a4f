#pragma once
// Children that do nothing but exist, so that whatever walks the machine's processes has
// as many to walk as a busy machine has. They die with the benchmark however it ends, and
// are killed and reaped when the object goes.

#include <sys/types.h>

#include <vector>

namespace baslink::bench {

class IdleProcesses {
public:
    // Forks `count` children that wait in pause(), holding no descriptor. Throws
    // std::system_error (after reaping those already made) when one cannot be forked.
    explicit IdleProcesses(int count);
    ~IdleProcesses();
    IdleProcesses(const IdleProcesses&) = delete;
    IdleProcesses& operator=(const IdleProcesses&) = delete;

    int Count() const { return static_cast<int>(children_.size()); }

private:
    void Reap();

    std::vector<pid_t> children_;
};

}  // namespace baslink::bench
