#include "Threads.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

using baslink::platform::SetCurrentThreadPriority;
using baslink::platform::ThreadPriority;

TEST(Threads, PriorityChangesTheCallingThreadOnly) {
    const int before = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    int inside = before;
    std::thread lowered([&] {
        SetCurrentThreadPriority(ThreadPriority::Lowest);
        inside = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        // Raising may be refused without privilege; it must not fail the caller.
        SetCurrentThreadPriority(ThreadPriority::Highest);
    });
    lowered.join();
    EXPECT_GE(inside, 10);  // more only when the process already ran lower than that
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), before);
}
