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

// While one lives, the system clock's sleeps are as fine as the 10 ms polls need. Windows
// raises the system timer's resolution for it, which costs power for the whole machine,
// so a transfer holds one only while it runs; elsewhere it changes nothing.
class FineTimerScope {
  public:
    FineTimerScope();
    ~FineTimerScope();
    FineTimerScope(const FineTimerScope&) = delete;
    FineTimerScope& operator=(const FineTimerScope&) = delete;

    // How many scopes are alive now.
    static int Active();
};

}  // namespace velloran
