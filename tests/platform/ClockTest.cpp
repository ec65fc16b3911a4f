#include <gtest/gtest.h>

#include <cstdint>

#include "Clock.h"

namespace {

using baslink::platform::SleepMs;
using baslink::platform::TickCount;

TEST(Clock, TickCountsMillisecondsAcrossASleep) {
    const uint32_t start = TickCount();
    SleepMs(60);
    const uint32_t elapsed = TickCount() - start;
    EXPECT_GE(elapsed, 59u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
