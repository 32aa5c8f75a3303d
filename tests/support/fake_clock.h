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
    void SleepMs(uint32_t milliseconds) override { now_ += milliseconds; }
    void Advance(uint32_t milliseconds) { now_ += milliseconds; }

  private:
    std::atomic<uint32_t> now_;
};

}  // namespace velloran::testing
