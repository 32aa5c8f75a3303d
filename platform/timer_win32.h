#pragma once

#include <windows.h>

#include <cstdint>

namespace velloran {

// The system calls behind a pause of the Windows clock, so that its decisions can be
// checked without real time passing.
class PauseCalls {
  public:
    virtual ~PauseCalls() = default;
    // QueryPerformanceCounter, and how many of its counts make a second.
    virtual int64_t Counter() = 0;
    virtual int64_t CountsPerSecond() = 0;
    // Waits `hundredNanoseconds` on a high-resolution waitable timer. False, having waited
    // at most that long, where the system offers none (before Windows 10 1803) or the wait
    // failed.
    virtual bool WaitOnPreciseTimer(int64_t hundredNanoseconds) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// Pauses at least `milliseconds` by the counter: sleeps on the precise timer, or with
// Sleep where there is none, to just before the end, then waits out the rest on the
// counter, so the pause ends within a few microseconds of the time asked for.
void PauseAtLeast(PauseCalls& calls, uint32_t milliseconds);

// The calls FineTimerScope makes: timeBeginPeriod and timeEndPeriod of winmm.dll, and
// SetProcessInformation of kernel32.dll (Windows 8 and later; null before). The process
// information class is an int here, as the enumeration's value is passed.
struct TimerResolutionCalls {
    UINT(WINAPI* beginPeriod)(UINT) = nullptr;
    UINT(WINAPI* endPeriod)(UINT) = nullptr;
    BOOL(WINAPI* setProcessInformation)(HANDLE, int, void*, DWORD) = nullptr;
};

// Makes FineTimerScope use `calls` instead of the system's, and returns those it used.
TimerResolutionCalls SetTimerResolutionCalls(const TimerResolutionCalls& calls);

}  // namespace velloran
