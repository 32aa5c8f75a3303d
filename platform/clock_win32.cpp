#include <windows.h>

#include <atomic>

#include "platform/clock.h"

namespace velloran {
namespace {

constexpr UINT kTimerResolutionMs = 1;

using TimePeriodCall = UINT(WINAPI*)(UINT);

// The timer calls of winmm.dll, which is no KnownDLL: imported, it would be loaded from
// the program's own folder first, so it is loaded from the system folder only, when first
// needed. Calls that cannot be found leave the timer as it is.
struct TimerCalls {
    TimePeriodCall begin = nullptr;
    TimePeriodCall end = nullptr;
};

TimePeriodCall Find(HMODULE library, const char* name) {
    return reinterpret_cast<TimePeriodCall>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const TimerCalls& Calls() {
    static const TimerCalls calls = [] {
        TimerCalls found;
        const HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (winmm != nullptr) {
            found = {Find(winmm, "timeBeginPeriod"), Find(winmm, "timeEndPeriod")};
        }
        if (found.begin == nullptr || found.end == nullptr) {
            found = {};
        }
        return found;
    }();
    return calls;
}

std::atomic<int> activeFineTimers{0};

// GetTickCount wraps after 49.7 days, as the 32-bit tick of the interface does.
class Win32Clock final : public Clock {
  public:
    uint32_t TickMs() override { return GetTickCount(); }
    void SleepMs(uint32_t milliseconds) override { Sleep(milliseconds); }
};

}  // namespace

// Sleep wakes on the system timer's tick, every 15.6 ms by default, which would stretch
// each 10 ms poll by half: the tick is made 1 ms for the life of the scope.
FineTimerScope::FineTimerScope() {
    if (Calls().begin != nullptr) {
        Calls().begin(kTimerResolutionMs);
    }
    ++activeFineTimers;
}

FineTimerScope::~FineTimerScope() {
    --activeFineTimers;
    if (Calls().end != nullptr) {
        Calls().end(kTimerResolutionMs);
    }
}

int FineTimerScope::Active() {
    return activeFineTimers;
}

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace velloran
