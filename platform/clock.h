#pragma once

#include <cstdint>

namespace velloran {

// Millisecond time source. The tick is 32 bits and wraps; callers compare ticks only
// through unsigned differences. Tests substitute a fake clock that advances on sleep.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t TickMs() = 0;
    virtual void SleepMs(uint32_t milliseconds) = 0;
};

// The operating system's monotonic clock.
Clock& SystemClock();

}  // namespace velloran
