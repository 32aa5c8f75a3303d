#include "platform/clock.h"

#include <ctime>

namespace velloran {
namespace {

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
