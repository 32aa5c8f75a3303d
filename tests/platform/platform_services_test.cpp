// The operating system's clock as the jobs use it.
#include <gtest/gtest.h>

#include "platform/clock.h"

namespace velloran::testing {
namespace {

// Milliseconds across a real 100 ms sleep; the Windows tick advances every ~16 ms.
TEST(SystemClock, TicksInMillisecondsAcrossASleep) {
    const uint32_t before = SystemClock().TickMs();
    SystemClock().SleepMs(100);
    const uint32_t elapsed = SystemClock().TickMs() - before;
    EXPECT_GE(elapsed, 80u);
    EXPECT_LT(elapsed, 2000u);
}

}  // namespace
}  // namespace velloran::testing
