#pragma once
// The free-form exchanges' exports are declared in baslink.h; this is what the driver's
// own callers of them (the point-module polls) need besides.

#include <cstdint>

namespace baslink {

// DevolverCommLibre's status when the bit count asked for is that of the kept answer.
inline constexpr uint16_t kBitCountMatches = 0x80;

}  // namespace baslink
