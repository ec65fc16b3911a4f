#include "Threads.h"

#include <sys/resource.h>
#include <unistd.h>

namespace baslink::platform {

void SetCurrentThreadPriority(ThreadPriority priority) {
    // On Linux each thread has its own nice value, addressed by its thread id.
    int nice = 0;
    switch (priority) {
        case ThreadPriority::Lowest:
            nice = 10;
            break;
        case ThreadPriority::AboveNormal:
            nice = -5;
            break;
        case ThreadPriority::Highest:
            nice = -10;
            break;
    }
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice);
}

}  // namespace baslink::platform
