// The operating system's clock as the jobs use it.
#include <gtest/gtest.h>

#include "platform/clock.h"

namespace velloran::testing {
namespace {

TEST(SystemClock, TicksInMillisecondsAcrossASleep) {
    constexpr uint32_t kSleep = 100;
    constexpr uint32_t kTickGranularity = 20;  // the Windows tick advances every ~16 ms
    Clock& clock = SystemClock();
    const uint32_t before = clock.TickMs();
    clock.SleepMs(kSleep);
    const uint32_t elapsed = clock.TickMs() - before;
    EXPECT_GE(elapsed, kSleep - kTickGranularity);
    EXPECT_LT(elapsed, 2000u);
}

}  // namespace
}  // namespace velloran::testing
