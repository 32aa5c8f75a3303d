#include <windows.h>

// After windows.h, on which it builds.
#include <mmsystem.h>

#include "platform/clock.h"

namespace velloran {
namespace {

constexpr UINT kTimerResolutionMs = 1;

// Sleep wakes on the system timer's tick, every 15.6 ms by default, which would stretch
// each 10 ms poll by half; the process asks once for the finest tick. Windows drops the
// request when the process ends.
void RequestFineTimer() {
    static const bool requested = timeBeginPeriod(kTimerResolutionMs) == TIMERR_NOERROR;
    static_cast<void>(requested);
}

// GetTickCount wraps after 49.7 days, as the 32-bit tick of the interface does.
class Win32Clock final : public Clock {
  public:
    uint32_t TickMs() override { return GetTickCount(); }
    void SleepMs(uint32_t milliseconds) override {
        RequestFineTimer();
        Sleep(milliseconds);
    }
};

}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace velloran
