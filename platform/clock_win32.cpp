#include <windows.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/system_library_win32.h"
#include "platform/timer_win32.h"

namespace velloran {
namespace {

constexpr UINT kTimerResolutionMs = 1;
constexpr int64_t kHundredNanosPerMs = 10000;
// How long before the end of a pause the thread wakes to wait out the rest on the counter.
// A high-resolution timer wakes its thread up to about half a millisecond late, Sleep under
// a 1 ms system timer up to a whole one: a millisecond of waiting on the counter makes up
// for either.
constexpr int64_t kPreciseTimerMargin = 10000;  // in 100 ns
constexpr uint32_t kSleepMarginMs = 1;

// Not declared for Windows 7: "CreateWaitableTimerExW function" (Windows 10 1803 and later
// take this flag; earlier versions refuse it and create no timer).
constexpr DWORD kCreateWaitableTimerHighResolution = 0x00000002;

// "SetProcessInformation function" and "PROCESS_POWER_THROTTLING_STATE structure":
// Windows 11 ignores a process's timer resolution while none of its windows is visible,
// unless the process opts out with this class and control mask, the state mask left 0.
constexpr int kProcessPowerThrottling = 4;
constexpr ULONG kPowerThrottlingCurrentVersion = 1;
constexpr ULONG kPowerThrottlingIgnoreTimerResolution = 0x4;
struct PowerThrottlingState {
    ULONG version;
    ULONG controlMask;
    ULONG stateMask;
};

// A high-resolution waitable timer for the calling thread, made on its first pause; null
// where the system has none.
class ThreadTimer {
  public:
    ThreadTimer()
        : handle_(CreateWaitableTimerExW(nullptr, nullptr, kCreateWaitableTimerHighResolution,
                                         TIMER_ALL_ACCESS)) {}
    ~ThreadTimer() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    ThreadTimer(const ThreadTimer&) = delete;
    ThreadTimer& operator=(const ThreadTimer&) = delete;

    HANDLE Handle() const { return handle_; }

  private:
    HANDLE handle_;
};

class SystemPauseCalls final : public PauseCalls {
  public:
    int64_t Counter() override {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }

    // Fixed at boot: read once.
    int64_t CountsPerSecond() override {
        static const int64_t perSecond = [] {
            LARGE_INTEGER frequency{};
            QueryPerformanceFrequency(&frequency);
            return frequency.QuadPart;
        }();
        return perSecond;
    }

    bool WaitOnPreciseTimer(int64_t hundredNanoseconds) override {
        thread_local const ThreadTimer timer;
        if (timer.Handle() == nullptr) {
            return false;
        }
        LARGE_INTEGER due{};
        due.QuadPart = -hundredNanoseconds;  // negative: relative to now
        return SetWaitableTimer(timer.Handle(), &due, 0, nullptr, nullptr, FALSE) != 0 &&
               WaitForSingleObject(timer.Handle(), INFINITE) == WAIT_OBJECT_0;
    }

    void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

// winmm.dll is no KnownDLL: imported, it would be loaded from the program's own folder
// first, so it is loaded from the system folder only, when first needed. Calls that cannot
// be found leave the timer as it is.
TimerResolutionCalls FindSystemTimerCalls() {
    TimerResolutionCalls found;
    if (const HMODULE winmm = LoadSystemLibrary(L"winmm.dll")) {
        found.beginPeriod = reinterpret_cast<decltype(found.beginPeriod)>(
            reinterpret_cast<void*>(GetProcAddress(winmm, "timeBeginPeriod")));
        found.endPeriod = reinterpret_cast<decltype(found.endPeriod)>(
            reinterpret_cast<void*>(GetProcAddress(winmm, "timeEndPeriod")));
    }
    if (found.beginPeriod == nullptr || found.endPeriod == nullptr) {
        found.beginPeriod = found.endPeriod = nullptr;
    }
    // Windows 8 and later; kernel32.dll is always loaded.
    found.setProcessInformation =
        reinterpret_cast<decltype(found.setProcessInformation)>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessInformation")));
    return found;
}

TimerResolutionCalls& ActiveTimerCalls() {
    static TimerResolutionCalls calls = FindSystemTimerCalls();
    return calls;
}

std::atomic<int> activeFineTimers{0};

// GetTickCount wraps after 49.7 days, as the 32-bit tick of the interface does.
class Win32Clock final : public Clock {
  public:
    uint32_t TickMs() override { return GetTickCount(); }
    void SleepMs(uint32_t milliseconds) override {
        SystemPauseCalls calls;
        PauseAtLeast(calls, milliseconds);
    }
};

}  // namespace

void PauseAtLeast(PauseCalls& calls, uint32_t milliseconds) {
    const int64_t perSecond = calls.CountsPerSecond();
    const int64_t deadline =
        calls.Counter() + (milliseconds * perSecond + 999) / 1000;  // rounded up
    const int64_t hundredNanoseconds = milliseconds * kHundredNanosPerMs;
    if (hundredNanoseconds > kPreciseTimerMargin &&
        !calls.WaitOnPreciseTimer(hundredNanoseconds - kPreciseTimerMargin)) {
        const int64_t wholeMsLeft =
            ((deadline - calls.Counter()) * 1000 + perSecond / 2) / perSecond;
        if (wholeMsLeft > kSleepMarginMs) {
            calls.Sleep(static_cast<uint32_t>(wholeMsLeft - kSleepMarginMs));
        }
    }
    while (calls.Counter() < deadline) {
    }
}

TimerResolutionCalls SetTimerResolutionCalls(const TimerResolutionCalls& calls) {
    const TimerResolutionCalls previous = ActiveTimerCalls();
    ActiveTimerCalls() = calls;
    return previous;
}

// Sleep and the timers wake on the system timer's tick, every 15.6 ms by default, which
// would stretch each 10 ms poll by half: the tick is made 1 ms for the life of the scope
// ("timeBeginPeriod function"), and the process asks Windows 11 to honour that while its
// windows are minimised or covered.
FineTimerScope::FineTimerScope() {
    const TimerResolutionCalls& calls = ActiveTimerCalls();
    if (calls.setProcessInformation != nullptr) {
        PowerThrottlingState state{kPowerThrottlingCurrentVersion,
                                   kPowerThrottlingIgnoreTimerResolution, 0};
        // Refused before Windows 11, which has no such throttling to opt out of.
        static_cast<void>(calls.setProcessInformation(GetCurrentProcess(), kProcessPowerThrottling,
                                                      &state, sizeof state));
    }
    if (calls.beginPeriod != nullptr) {
        calls.beginPeriod(kTimerResolutionMs);
    }
    ++activeFineTimers;
}

FineTimerScope::~FineTimerScope() {
    --activeFineTimers;
    if (ActiveTimerCalls().endPeriod != nullptr) {
        ActiveTimerCalls().endPeriod(kTimerResolutionMs);
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
