#include "ReplyWait.h"

#include <algorithm>

#include "Clock.h"
#include "UserInterface.h"

namespace baslink {
namespace {

// A thread that pumps window messages looks at them at least this often while it waits.
constexpr std::chrono::milliseconds kPumpingPass{1};
// The longest single sleep of a thread that pumps nothing; long timeouts take several.
constexpr std::chrono::milliseconds kLongestPass{1000};

}  // namespace

void ReplyNotice::SleepUntil(const std::function<bool()>& settled,
                             std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    delivered_.wait_for(lock, limit, settled);
}

bool EsperarRespuesta(ReplyNotice& notice, const std::function<ReplyVerdict()>& verdict,
                      uint32_t timeoutMs) {
    const uint32_t start = platform::TickCount();
    const auto settled = [&verdict] { return verdict() != ReplyVerdict::Pending; };
    for (;;) {
        platform::PumpMessages();
        const uint32_t elapsed = platform::TickCount() - start;
        // Until the first tick past the time, when the test below can first say timeout.
        const auto rest = std::chrono::milliseconds(uint64_t{timeoutMs} + 1 -
                                                    std::min<uint64_t>(elapsed, timeoutMs));
        notice.SleepUntil(settled,
                          platform::PumpsMessages() ? kPumpingPass : std::min(rest, kLongestPass));
        // The time is tested before the reply: a reply judged after the limit is too late.
        if (static_cast<uint32_t>(platform::TickCount() - start) > timeoutMs) {
            return false;
        }
        switch (verdict()) {
            case ReplyVerdict::Bad:
                return false;
            case ReplyVerdict::Good:
                return true;
            case ReplyVerdict::Pending:
                break;
        }
    }
}

}  // namespace baslink
