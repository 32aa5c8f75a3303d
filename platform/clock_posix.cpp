#include <sys/prctl.h>

#include <atomic>
#include <ctime>

#include "platform/clock.h"

namespace velloran {
namespace {

constexpr int64_t kNanosPerMs = 1000000;
constexpr int64_t kNanosPerSecond = 1000000000;
// How long before the end of a pause the thread wakes to wait out the rest itself. The
// kernel wakes a sleeper some tens of microseconds late; every exchange pays that, so the
// last stretch is measured instead of slept.
constexpr int64_t kFinalWaitNanos = 100000;

int64_t NowNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosPerSecond + now.tv_nsec;
}

// A sleeping thread asks once for the tightest timer slack it can get, instead of the
// default 50 us that would be added to nearly every pause.
void TightenTimerSlack() {
    thread_local const bool tightened = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    static_cast<void>(tightened);
}

void SleepUntil(int64_t deadlineNanos) {
    const timespec until{static_cast<time_t>(deadlineNanos / kNanosPerSecond),
                         static_cast<long>(deadlineNanos % kNanosPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) != 0) {
    }
}

class PosixClock final : public Clock {
  public:
    uint32_t TickMs() override { return static_cast<uint32_t>(NowNanos() / kNanosPerMs); }

    // Pauses at least `milliseconds`, and as little more as the machine allows.
    void SleepMs(uint32_t milliseconds) override {
        TightenTimerSlack();
        const int64_t deadline = NowNanos() + milliseconds * kNanosPerMs;
        if (milliseconds * kNanosPerMs > kFinalWaitNanos) {
            SleepUntil(deadline - kFinalWaitNanos);
        }
        while (NowNanos() < deadline) {
        }
    }
};

std::atomic<int> activeFineTimers{0};

}  // namespace

FineTimerScope::FineTimerScope() {
    ++activeFineTimers;
}

FineTimerScope::~FineTimerScope() {
    --activeFineTimers;
}

int FineTimerScope::Active() {
    return activeFineTimers;
}

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

}  // namespace velloran
