#pragma once
// What a benchmark ran under, printed beside its figures: on a shared machine they say
// more about a run than its absolute times do.

namespace baslink::bench {

// The processors this process may run on (its affinity, as taskset set it).
int AllowedProcessors();
// The processes on the machine that /proc shows to this user.
int ProcessesOnMachine();

}  // namespace baslink::bench
