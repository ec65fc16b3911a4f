#pragma once
// Waiting for an event with a deadline, and measuring how long something took.

#include <chrono>
#include <thread>

namespace baslink::testing {

using SteadyClock = std::chrono::steady_clock;

// Polls `condition` until it holds or `limit` has passed; returns its last value.
template <typename Condition>
bool Eventually(Condition condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto deadline = SteadyClock::now() + limit;
    while (!condition()) {
        if (SteadyClock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline std::chrono::milliseconds Since(SteadyClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start);
}

// How long `call` took.
template <typename Call>
std::chrono::milliseconds TimeOf(Call call) {
    const auto start = SteadyClock::now();
    call();
    return Since(start);
}

}  // namespace baslink::testing
