#include "ReplyWait.h"

#include <chrono>

#include "Clock.h"
#include "UserInterface.h"

namespace baslink {
namespace {

// Between passes the wait sleeps until the receive check signals, or this long.
constexpr std::chrono::milliseconds kPauseBetweenPasses{1};

}  // namespace

bool EsperarRespuesta(TQDK& qdk, WaitEnd end) {
    const uint32_t start = platform::TickCount();
    for (;;) {
        platform::PumpMessages();
        qdk.WaitForReplyNotice(kPauseBetweenPasses);
        // The time is tested before the state: a reply judged after the limit is too late.
        if (static_cast<uint32_t>(platform::TickCount() - start) > kReplyTimeMs) {
            return false;
        }
        const uint8_t state = qdk.ComPort->Estado;
        if (state == kStateBad && end == WaitEnd::GoodOrBad) {
            return false;
        }
        if (state == kStateGood) {
            return true;
        }
    }
}

}  // namespace baslink
