#pragma once
// The wait for the reply of an exchange. The port's component Estado carries the state of
// the exchange in progress: the sender sets it before sending, the receive check sets it
// on the reader thread once the reply is judged.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace baslink {

inline constexpr uint8_t kStateFrameSent = 1;  // a frame is out, its answer awaited
inline constexpr uint8_t kStateFetchSent = 2;  // a fetch is out, its reply awaited
inline constexpr uint8_t kStateGood = 7;       // the reply ends in a good check
inline constexpr uint8_t kStateBad = 8;        // the reply ends in a bad check

inline constexpr uint32_t kReplyTimeMs = 500;

// What the bytes received so far say about the exchange.
enum class ReplyVerdict { Pending, Good, Bad };

// Wakes the thread that waits for a port's reply once the port's reader has delivered.
class ReplyNotice {
public:
    // Runs `change` under the notice's lock, then wakes the waiting thread. The reader
    // judges each delivery here and the sender sets up each exchange here, so a judgement
    // of bytes from before a send can never land after the next exchange was set up.
    template <typename Change>
    void Update(Change&& change) {
        {
            std::lock_guard lock(mutex_);
            change();
        }
        delivered_.notify_all();
    }
    // Sleeps until `settled` holds or `limit` has passed; returns at once when it already
    // holds, so a reply judged before the sleep began costs no wait.
    void SleepUntil(const std::function<bool()>& settled, std::chrono::milliseconds limit);

private:
    std::mutex mutex_;
    std::condition_variable delivered_;
};

// Waits for the reply of the exchange in progress, in passes: the calling thread's window
// messages are pumped, then the thread sleeps until `verdict` is no longer pending or the
// pass ends. After each pass, in this order: more than `timeoutMs` since the start is a
// timeout (false), even when the reply has come meanwhile; Bad is false; Good is true.
// A thread that has no messages to pump sleeps in one pass to the end of the time.
bool EsperarRespuesta(ReplyNotice& notice, const std::function<ReplyVerdict()>& verdict,
                      uint32_t timeoutMs = kReplyTimeMs);

}  // namespace baslink
