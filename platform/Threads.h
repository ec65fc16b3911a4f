#pragma once
// Thread priorities where the system allows them. Raising a priority usually needs a
// privilege; without it the thread simply keeps its priority.

namespace baslink::platform {

enum class ThreadPriority { Lowest, AboveNormal, Highest };

// Applies to the calling thread only. Failure is ignored.
void SetCurrentThreadPriority(ThreadPriority priority);

}  // namespace baslink::platform
