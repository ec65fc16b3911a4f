#pragma once
// Time for the library's waits: a monotonic millisecond tick and a sleep.

#include <cstdint>

namespace baslink::platform {

// Milliseconds since an arbitrary start, wrapping at 2^32; differences of two ticks
// taken as unsigned 32-bit values stay right across the wrap.
uint32_t TickCount();

// Sleeps the calling thread; 0 only gives way to other threads.
void SleepMs(uint32_t milliseconds);

}  // namespace baslink::platform
