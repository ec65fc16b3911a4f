#pragma once
// The wait for a reply on a port. The port's component Estado carries the state of
// the exchange in progress: the sender sets it before sending, the receive check
// sets it on the reader thread once the reply is judged.

#include <cstdint>

#include "PortObjects.h"

namespace baslink {

inline constexpr uint8_t kStateFrameSent = 1;  // a frame is out, its answer awaited
inline constexpr uint8_t kStateFetchSent = 2;  // a fetch is out, its reply awaited
inline constexpr uint8_t kStateGood = 7;       // the reply ends in a good check
inline constexpr uint8_t kStateBad = 8;        // the reply ends in a bad check

inline constexpr uint32_t kReplyTimeMs = 500;

enum class WaitEnd {
    GoodOnly,   // a bad reply may still be followed by a good one within the time
    GoodOrBad,  // a bad reply ends the wait
};

// Waits for the reply of the exchange in progress on the port, keeping the calling
// thread's events flowing. True on a good reply, false on a bad one (when `end` says
// so) or once more than 500 ms have passed.
bool EsperarRespuesta(TQDK& qdk, WaitEnd end);

}  // namespace baslink
