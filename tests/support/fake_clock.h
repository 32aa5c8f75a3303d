#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

namespace velloran::testing {

// A clock that moves only when someone sleeps on it, so a 10-second deadline costs
// microseconds. `Advance` lets a fake driver model slow calls.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(uint32_t start = 0) : now_(start) {}

    uint32_t TickMs() override { return now_.load(); }
    void SleepMs(uint32_t milliseconds) override {
        now_ += milliseconds;
        sleeps_++;
    }
    void Advance(uint32_t milliseconds) { now_ += milliseconds; }
    uint32_t Sleeps() const { return sleeps_.load(); }

  private:
    std::atomic<uint32_t> now_;
    std::atomic<uint32_t> sleeps_{0};
};

}  // namespace velloran::testing
