#include <sys/prctl.h>

#include <ctime>

#include "platform/clock.h"

namespace velloran {
namespace {

// Exchanges are paced by 10 ms sleeps, and the kernel's default timer slack of 50 us
// would be added to nearly every one of them; a sleeping thread asks once for the
// tightest wake-up it can get.
void TightenTimerSlack() {
    thread_local const bool tightened = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    static_cast<void>(tightened);
}

class PosixClock final : public Clock {
  public:
    uint32_t TickMs() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                            static_cast<uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);
    }

    void SleepMs(uint32_t milliseconds) override {
        TightenTimerSlack();
        timespec wait{static_cast<time_t>(milliseconds / 1000u),
                      static_cast<long>(milliseconds % 1000u) * 1000000L};
        while (nanosleep(&wait, &wait) != 0) {
        }
    }
};

}  // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

}  // namespace velloran
